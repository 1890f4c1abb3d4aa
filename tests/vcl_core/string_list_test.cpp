#include "vcl/string_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "expect_raise.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count; ++i) out.push_back(list.Strings[i]().str());
  return out;
}

using V = std::vector<std::string>;

TEST(StringList, UnsortedKeepsOrderAndAcceptsEverything) {
  TStringList list;
  list.Duplicates = dupError;  // not looked at while unsorted
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("a"), 1);
  EXPECT_EQ(list.Add("b"), 2);
  list.Insert(0, "z");
  list.Insert(4, "end");
  EXPECT_EQ(Lines(list), (V{"z", "b", "a", "b", "end"}));
  list.Delete(1);
  list.Strings[0] = "first";
  EXPECT_EQ(Lines(list), (V{"first", "a", "b", "end"}));
  EXPECT_EQ(list.IndexOf("B"), 2);  // ignores case
  EXPECT_EQ(list.IndexOf("c"), -1);
  list.Clear();
  EXPECT_EQ(list.Count, 0);
}

TEST(StringList, SortedOrderIgnoresCaseThenUsesBytes) {
  struct Case {
    V added;
    V sorted;
  } cases[] = {
      {{"COM2", "COM10", "COM1", "COM3"}, {"COM1", "COM10", "COM2", "COM3"}},
      {{"b", "B", "a", "A"}, {"A", "a", "B", "b"}},
      {{"яблоко", "Арбуз", "дыня", "Вишня"}, {"Арбуз", "Вишня", "дыня", "яблоко"}},
      {{"Zeta", "alpha", "Beta", "_x", "1"}, {"1", "alpha", "Beta", "Zeta", "_x"}},
      {{"ab", "a", "", "abc"}, {"", "a", "ab", "abc"}},
  };
  for (const auto& c : cases) {
    // Sorted while adding, and sorted afterwards, give the same order.
    TStringList adding, later;
    adding.Sorted = true;
    adding.Duplicates = dupAccept;
    for (const auto& s : c.added) {
      adding.Add(AnsiString(s));
      later.Add(AnsiString(s));
    }
    later.Sort();
    EXPECT_EQ(Lines(adding), c.sorted);
    EXPECT_EQ(Lines(later), c.sorted);
  }
}

TEST(StringList, CaseSensitiveOrderIsByBytes) {
  TStringList list;
  list.CaseSensitive = true;
  list.Sorted = true;
  for (const char* s : {"b", "B", "a", "A"}) list.Add(s);
  EXPECT_EQ(Lines(list), (V{"A", "B", "a", "b"}));
  EXPECT_EQ(list.IndexOf("a"), 2);
  EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringList, DuplicatesOfASortedList) {
  TStringList ignore;
  ignore.Sorted = true;
  ignore.Add("b");
  ignore.Add("a");
  EXPECT_EQ(ignore.Add("B"), 1);  // the index of the line already there
  EXPECT_EQ(Lines(ignore), (V{"a", "b"}));

  TStringList accept;
  accept.Sorted = true;
  accept.Duplicates = dupAccept;
  accept.Add("b");
  accept.Add("b");
  EXPECT_EQ(Lines(accept), (V{"b", "b"}));

  TStringList error;
  error.Sorted = true;
  error.Duplicates = dupError;
  error.Add("x");
  EXPECT_THROW(error.Add("X"), EStringListError);
  EXPECT_EQ(error.Count, 1);
}

TEST(StringList, FindAndIndexOfOnASortedList) {
  TStringList list;
  list.Sorted = true;
  list.Duplicates = dupAccept;
  for (const char* s : {"d", "b", "f", "b", "h"}) list.Add(s);
  int index = -1;
  EXPECT_TRUE(list.Find("B", index));
  EXPECT_EQ(index, 0);  // the first of the equal lines
  EXPECT_FALSE(list.Find("e", index));
  EXPECT_EQ(index, 3);  // where "e" would go
  EXPECT_FALSE(list.Find("z", index));
  EXPECT_EQ(index, 5);
  EXPECT_EQ(list.IndexOf("h"), 4);
  EXPECT_EQ(list.IndexOf("a"), -1);
}

TEST(StringList, ASortedListRefusesPositionalChanges) {
  TStringList list;
  list.Add("b");
  list.Add("a");
  list.Sorted = true;  // sorts what is there
  EXPECT_EQ(Lines(list), (V{"a", "b"}));
  EXPECT_THROW(list.Insert(0, "c"), EStringListError);
  EXPECT_THROW(list.Strings[0] = "c", EStringListError);
  list.Delete(0);
  EXPECT_EQ(Lines(list), (V{"b"}));
}

TEST(StringList, ALineThatIsNotThereRaisesAnIndexError) {
  TStringList list;
  list.Add("only");
  struct Probe {
    const char* what;
    std::function<void()> call;
    int index;
  } probes[] = {
      {"read", [&] { (void)list.Strings[1](); }, 1},
      {"read -1", [&] { (void)list.Strings[-1](); }, -1},
      {"write", [&] { list.Strings[2] = "x"; }, 2},
      {"delete", [&] { list.Delete(1); }, 1},
      {"insert", [&] { list.Insert(3, "x"); }, 3},
      {"object", [&] { (void)list.Objects[5](); }, 5},
  };
  for (const auto& p : probes)
    ExpectRaise<EStringListError>(p.call, "List index out of bounds (" + AnsiString(p.index) + ")",
                                  p.what);
  EXPECT_EQ(Lines(list), (V{"only"}));
}

TEST(StringList, TextSplitsEveryLineEndAndJoinsWithCrLf) {
  struct Case {
    std::string text;
    V lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("x\0y\nz", 5), {std::string("x\0y", 3), "z"}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.Text = AnsiString(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text;
    std::string joined;
    for (const auto& l : c.lines) joined += l + "\r\n";
    EXPECT_EQ(list.Text().str(), joined);
  }
}

TEST(StringList, LoadFromFileReadsAnyLineEnd) {
  TempFiles dir;
  dir.Write("mixed.txt", "one\r\ntwo\nthree\rfour");
  TStringList list;
  list.Add("old");
  list.LoadFromFile(dir.File("mixed.txt"));
  EXPECT_EQ(Lines(list), (V{"one", "two", "three", "four"}));

  dir.Write("empty.txt", "");
  list.LoadFromFile(dir.File("empty.txt"));
  EXPECT_EQ(list.Count, 0);
}

// What is no regular file is refused at once: a FIFO would keep the open waiting for a writer
// (the window frozen), a device such as /dev/zero would never end.
TEST(StringList, LoadFromFileRaisesWhenTheFileCannotBeRead) {
  TempFiles dir;
  ASSERT_EQ(::mkfifo((dir.path() + "/fifo.hex").c_str(), 0644), 0);
  struct Case {
    AnsiString name;
    const char* reason;
  } cases[] = {
      {dir.File("missing.txt"), "No such file or directory"},
      {AnsiString(dir.path()), "Is a directory"},
      {dir.File("fifo.hex"), "Not a regular file"},
      {"/dev/zero", "Not a regular file"},
  };
  TStringList list;
  list.Add("kept");
  for (const Case& c : cases) {
    try {
      list.LoadFromFile(c.name);
      ADD_FAILURE() << c.name.c_str();
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message, "Cannot open file \"" + c.name + "\". " + c.reason);
    }
    EXPECT_EQ(Lines(list), (V{"kept"}));
  }
}

TEST(StringList, SaveToFileWritesCrLfAndReplacesTheFile) {
  TempFiles dir;
  dir.Write("out.txt", "a much longer earlier content\n");
  TStringList list;
  list.Add("Файлы");
  list.Add("");
  list.Add("end");
  list.SaveToFile(dir.File("out.txt"));
  EXPECT_EQ(dir.Read("out.txt"), "Файлы\r\n\r\nend\r\n");

  TStringList empty;
  empty.SaveToFile(dir.File("empty.txt"));
  EXPECT_TRUE(FileExists(dir.File("empty.txt")));
  EXPECT_EQ(dir.Read("empty.txt"), "");

  TStringList back;
  back.LoadFromFile(dir.File("out.txt"));
  EXPECT_EQ(Lines(back), (V{"Файлы", "", "end"}));
}

TEST(StringList, SaveToFileRaisesWhenItCannotCreateTheFile) {
  TempFiles dir;
  TStringList list;
  list.Add("x");
  try {
    list.SaveToFile(dir.File("no_such_folder/out.txt"));
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message.Pos("Cannot create file"), 1) << e.Message.c_str();
  }
}

TEST(StringList, ChangesNotifyOnceInsideAnUpdate) {
  TStringList list;
  int changes = 0, changing = 0;
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.OnChanging = [&](TObject*) { ++changing; };
  list.Add("a");
  list.Add("b");
  list.Delete(0);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(changing, 3);

  changes = changing = 0;
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Clear();
  list.EndUpdate();
  EXPECT_EQ(changes, 0);
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(changing, 1);

  changes = 0;
  list.Text = "x\r\ny\r\nz";  // one update
  EXPECT_EQ(changes, 1);
  list.Clear();
  changes = 0;
  list.Clear();  // nothing to clear
  EXPECT_EQ(changes, 0);
}

TEST(StringList, AssignAndAddStringsCopyLinesAndObjects) {
  TStringList source, target;
  TObject marker;
  source.AddObject("one", &marker);
  source.Add("two");
  target.Add("old");
  target.Assign(&source);
  EXPECT_EQ(Lines(target), (V{"one", "two"}));
  EXPECT_EQ(target.Objects[0](), &marker);
  EXPECT_EQ(target.IndexOfObject(&marker), 0);
  target.AddStrings(&source);
  EXPECT_EQ(Lines(target), (V{"one", "two", "one", "two"}));
  target.Assign(&target);
  EXPECT_EQ(target.Count, 4);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  for (const char* s : {"plain", "two words", "a,b", "say \"hi\"", ""}) list.Add(s);
  const AnsiString text = list.CommaText;
  EXPECT_EQ(text, "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",");
  TStringList back;
  back.CommaText = "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",,x";
  EXPECT_EQ(Lines(back), (V{"plain", "two words", "a,b", "say \"hi\"", "", "x"}));
  back.CommaText = " a b ,c ";
  EXPECT_EQ(Lines(back), (V{"a", "b", "c"}));
}

// A list of another storage, as the GUI's item lists are: only the primitives are its own.
class VectorStrings : public TStrings {
 public:
  int GetCount() const override { return static_cast<int>(v_.size()); }
  AnsiString Get(int i) const override {
    if (i < 0 || i >= GetCount()) IndexError(i);
    return AnsiString(v_[static_cast<std::size_t>(i)]);
  }
  void Insert(int i, const AnsiString& s) override {
    v_.insert(v_.begin() + i, s.str());
    ++inserts;
  }
  void Delete(int i) override { v_.erase(v_.begin() + i); }
  void Clear() override { v_.clear(); }
  int inserts = 0;

 protected:
  void SetUpdateState(bool updating) override { updates.push_back(updating); }

 public:
  std::vector<bool> updates;

 private:
  std::vector<std::string> v_;
};

TEST(StringList, TheAbstractListWorksThroughItsPrimitives) {
  VectorStrings items;
  items.Add("b");
  items.Text = "one\ntwo\nthree";
  EXPECT_EQ(Lines(items), (V{"one", "two", "three"}));
  EXPECT_EQ(items.updates, (std::vector<bool>{true, false}));
  items.Strings[1] = "TWO";
  EXPECT_EQ(Lines(items), (V{"one", "TWO", "three"}));
  EXPECT_EQ(items.IndexOf("two"), 1);
  EXPECT_EQ(items.Text(), "one\r\nTWO\r\nthree\r\n");
  EXPECT_THROW(items.Strings[3](), EStringListError);

  TStringList copy;
  copy.Assign(&items);
  EXPECT_EQ(Lines(copy), Lines(items));
}

}  // namespace
