// String lists: TStrings, the abstract list of text lines with optional objects (combo box
// items, memo lines and radio group items derive from it), and TStringList, the list in memory,
// sorted or not.
#pragma once

#include <vector>

#include "vcl/property.h"
#include "vcl/system.h"
#include "vcl/sysutils.h"

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TObject {
 public:
  TStrings();
  AnsiString ClassName() const override { return "TStrings"; }

  // Primitives a derived list implements. An index outside 0..Count-1 raises EStringListError
  // "List index out of bounds (n)".
  virtual int GetCount() const = 0;
  virtual AnsiString Get(int index) const = 0;
  virtual void Insert(int index, const AnsiString& s) = 0;  // 0..Count
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Defaults: Put replaces through Delete and Insert, keeping the line's object; a list without
  // objects answers null and ignores PutObject.
  virtual void Put(int index, const AnsiString& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void InsertObject(int index, const AnsiString& s, TObject* object);

  // Adds at the end (a sorted list: at its place) and returns the index.
  virtual int Add(const AnsiString& s);
  virtual int AddObject(const AnsiString& s, TObject* object);
  // The first line equal to `s` (ignoring case unless the list is case-sensitive), or -1.
  virtual int IndexOf(const AnsiString& s) const;
  int IndexOfObject(TObject* object) const;
  void AddStrings(const TStrings* strings);
  // Replaces the lines (and objects) with those of `source`.
  virtual void Assign(const TStrings* source);

  // Changes between BeginUpdate and the matching EndUpdate notify once, at the end.
  void BeginUpdate();
  void EndUpdate();

  // Every line followed by CR LF.
  virtual AnsiString GetText() const;
  // Lines ended by CR LF, LF or CR.
  virtual void SetText(const AnsiString& text);
  // Lines separated by commas; a line with blanks, commas or quotes is in double quotes.
  AnsiString GetCommaText() const;
  void SetCommaText(const AnsiString& text);

  // Raises EFOpenError when the file cannot be read; the list is then unchanged.
  virtual void LoadFromFile(const AnsiString& file_name);
  // Writes every line with CR LF, replacing the file; raises EFCreateError when it cannot be
  // created and EWriteError when writing fails.
  virtual void SaveToFile(const AnsiString& file_name) const;

  IndexedProperty<AnsiString> Strings;
  IndexedProperty<TObject*> Objects;
  ReadOnlyProperty<int> Count;
  Property<AnsiString> Text;
  Property<AnsiString> CommaText;

 protected:
  // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
  virtual void SetUpdateState(bool updating) {}
  // <0, 0, >0; ignores case (CP1251 case mapping) by default.
  virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const;
  int UpdateCount() const { return update_count_; }
  [[noreturn]] static void IndexError(int index);

 private:
  int update_count_ = 0;
};

class TStringList : public TStrings {
 public:
  TStringList();
  AnsiString ClassName() const override { return "TStringList"; }

  int GetCount() const override;
  AnsiString Get(int index) const override;
  // Insert and Put raise EStringListError on a sorted list.
  void Insert(int index, const AnsiString& s) override;
  void InsertObject(int index, const AnsiString& s, TObject* object) override;
  void Put(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  // A sorted list places the line by its order; a duplicate is dropped (dupIgnore, the index of
  // the line already there is returned), added (dupAccept) or refused with EStringListError
  // (dupError). An unsorted list appends whatever Duplicates says.
  int Add(const AnsiString& s) override;
  int AddObject(const AnsiString& s, TObject* object) override;
  int IndexOf(const AnsiString& s) const override;
  void SetText(const AnsiString& text) override;
  // Binary search of a sorted list: true when a line equal to `s` exists, `index` is then the
  // first such line; otherwise `index` is where `s` would go.
  virtual bool Find(const AnsiString& s, int& index) const;
  // Order: case-insensitive by the CP1251 case mapping (unless CaseSensitive), lines equal but
  // for case by their bytes.
  virtual void Sort();

  Property<bool> Sorted;
  Property<TDuplicates> Duplicates;
  Property<bool> CaseSensitive;
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
  virtual void Changing();
  virtual void Changed();

 private:
  struct Item {
    AnsiString text;
    TObject* object;
  };
  void CheckIndex(int index) const;
  bool Before(const AnsiString& a, const AnsiString& b) const;  // the sorted order
  void InsertItem(int index, const AnsiString& s, TObject* object);
  void SetSorted(bool sorted);
  void SetCaseSensitive(bool case_sensitive);

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool case_sensitive_ = false;
};
