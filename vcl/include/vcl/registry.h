// TRegistry: keys and string values of the registry through the Win32 layer's Reg* calls.
#pragma once

#include "platform/windows.h"
#include "vcl/property.h"
#include "vcl/string_list.h"
#include "vcl/system.h"

class TRegistry : public TObject {
 public:
  TRegistry();  // access KEY_ALL_ACCESS, root HKEY_CURRENT_USER
  explicit TRegistry(DWORD AAccess);
  ~TRegistry() override;
  AnsiString ClassName() const override { return "TRegistry"; }

  // Opens a key below RootKey ("\A\B" always from the root; "A\B" below the open key, if any)
  // and makes it the current key. Keys are not created: the registry is read-only here, so
  // CanCreate only changes the answer when the key is missing (false either way).
  bool OpenKey(const AnsiString& Key, bool CanCreate);
  // The same with read access only.
  bool OpenKeyReadOnly(const AnsiString& Key);
  void CloseKey();

  // The names of the current key's values replace the list's lines (empty without a key).
  void GetValueNames(TStrings* Strings) const;
  // A missing value gives an empty text; a value that is not a string raises ERegistryException.
  AnsiString ReadString(const AnsiString& Name) const;
  bool ValueExists(const AnsiString& Name) const;

  // Setting another root closes the current key.
  Property<HKEY> RootKey;
  ReadOnlyProperty<HKEY> CurrentKey;
  ReadOnlyProperty<AnsiString> CurrentPath;
  Property<DWORD> Access;

 private:
  bool Open(const AnsiString& key, DWORD access);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
  AnsiString current_path_;
  DWORD access_ = KEY_ALL_ACCESS;
};
