#include "vcl/string_list.h"

#include <algorithm>
#include <string>

#include "text_file.h"

namespace {

// Keeps a list in its update state for a scope, also when a change raises.
class UpdateScope {
 public:
  explicit UpdateScope(TStrings& list) : list_(list) { list_.BeginUpdate(); }
  ~UpdateScope() { list_.EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TStrings& list_;
};

bool NeedsQuotes(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',';
  });
}

bool IsCommaBlank(char c) {
  return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

// ---- TStrings ----

TStrings::TStrings()
    : Strings([this](int i) { return Get(i); }, [this](int i, const AnsiString& s) { Put(i, s); }),
      Objects([this](int i) { return GetObject(i); },
              [this](int i, TObject* const& o) { PutObject(i, o); }),
      Count([this] { return GetCount(); }),
      Text([this] { return GetText(); }, [this](const AnsiString& s) { SetText(s); }),
      CommaText([this] { return GetCommaText(); },
                [this](const AnsiString& s) { SetCommaText(s); }) {}

void TStrings::IndexError(int index) {
  throw EStringListError("List index out of bounds (" + AnsiString(index) + ")");
}

void TStrings::Put(int index, const AnsiString& s) {
  TObject* object = GetObject(index);
  UpdateScope update(*this);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int index) const {
  return nullptr;
}

void TStrings::PutObject(int index, TObject* object) {}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::Add(const AnsiString& s) {
  const int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

int TStrings::IndexOf(const AnsiString& s) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::AddStrings(const TStrings* strings) {
  if (!strings) return;
  UpdateScope update(*this);
  const int n = strings->GetCount();
  for (int i = 0; i < n; ++i) AddObject(strings->Get(i), strings->GetObject(i));
}

void TStrings::Assign(const TStrings* source) {
  if (source == this) return;
  UpdateScope update(*this);
  Clear();
  AddStrings(source);
}

void TStrings::BeginUpdate() {
  if (update_count_ == 0) SetUpdateState(true);
  ++update_count_;
}

void TStrings::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) SetUpdateState(false);
}

AnsiString TStrings::GetText() const {
  std::string out;
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    out += Get(i).str();
    out += "\r\n";
  }
  return AnsiString(std::move(out));
}

void TStrings::SetText(const AnsiString& text) {
  UpdateScope update(*this);
  Clear();
  for (auto& line : vcl::detail::SplitLines(text.str())) Add(AnsiString(std::move(line)));
}

AnsiString TStrings::GetCommaText() const {
  const int n = GetCount();
  if (n == 1 && Get(0).IsEmpty()) return "\"\"";
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (i > 0) out += ',';
    const std::string s = Get(i).str();
    if (!NeedsQuotes(s)) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return AnsiString(std::move(out));
}

void TStrings::SetCommaText(const AnsiString& text) {
  UpdateScope update(*this);
  Clear();
  const std::string& t = text.str();
  std::size_t i = 0;
  auto skip_blanks = [&] {
    while (i < t.size() && IsCommaBlank(t[i])) ++i;
  };
  skip_blanks();
  while (i < t.size()) {
    std::string item;
    if (t[i] == '"') {
      // Quoted: "" stands for one quote; the item ends at the lone closing quote.
      for (++i; i < t.size(); ++i) {
        if (t[i] == '"') {
          if (i + 1 < t.size() && t[i + 1] == '"') {
            item += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          item += t[i];
        }
      }
    } else {
      while (i < t.size() && !IsCommaBlank(t[i]) && t[i] != ',') item += t[i++];
    }
    Add(AnsiString(std::move(item)));
    skip_blanks();
    if (i < t.size() && t[i] == ',') {
      ++i;
      skip_blanks();
    }
  }
}

void TStrings::LoadFromFile(const AnsiString& file_name) {
  std::string data, error;
  switch (vcl::detail::ReadWholeFile(file_name, data, error)) {
    case vcl::detail::FileResult::kOk:
      break;
    case vcl::detail::FileResult::kMissing:
    case vcl::detail::FileResult::kOpenFailed:
      throw EFOpenError("Cannot open file \"" + file_name + "\". " + AnsiString(error));
    case vcl::detail::FileResult::kIoFailed:
      throw EReadError("Stream read error");
  }
  SetText(AnsiString(std::move(data)));
}

void TStrings::SaveToFile(const AnsiString& file_name) const {
  std::string error;
  switch (vcl::detail::WriteWholeFile(file_name, GetText().str(), error)) {
    case vcl::detail::FileResult::kOk:
      break;
    case vcl::detail::FileResult::kMissing:
    case vcl::detail::FileResult::kOpenFailed:
      throw EFCreateError("Cannot create file \"" + file_name + "\". " + AnsiString(error));
    case vcl::detail::FileResult::kIoFailed:
      throw EWriteError("Cannot write file \"" + file_name + "\". " + AnsiString(error));
  }
}

int TStrings::CompareStrings(const AnsiString& a, const AnsiString& b) const {
  return AnsiCompareText(a, b);
}

// ---- TStringList ----

TStringList::TStringList()
    : Sorted([this] { return sorted_; }, [this](const bool& v) { SetSorted(v); }),
      Duplicates([this] { return duplicates_; }, [this](const TDuplicates& v) { duplicates_ = v; }),
      CaseSensitive([this] { return case_sensitive_; },
                    [this](const bool& v) { SetCaseSensitive(v); }) {}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) IndexError(index);
}

int TStringList::GetCount() const {
  return static_cast<int>(items_.size());
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].text;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)].object = object;
  Changed();
}

void TStringList::Put(int index, const AnsiString& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)].text = s;
  Changed();
}

void TStringList::Insert(int index, const AnsiString& s) {
  InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const AnsiString& s, TObject* object) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > GetCount()) IndexError(index);
  InsertItem(index, s, object);
}

// An unsorted list takes the lines as they are, without a copy of each. A sorted list that keeps
// every line takes them the same way and sorts them once: the order that filing them one by one
// gives (equal lines in theirs), in n log n. A sorted list that drops or refuses duplicates files
// them one by one.
void TStringList::SetText(const AnsiString& text) {
  if (sorted_ && duplicates_ != dupAccept) {
    TStrings::SetText(text);
    return;
  }
  UpdateScope update(*this);
  Clear();
  std::vector<std::string> lines = vcl::detail::SplitLines(text.str());
  Changing();
  items_.reserve(lines.size());
  for (auto& line : lines) items_.push_back(Item{AnsiString(std::move(line)), nullptr});
  if (sorted_)
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return Before(a.text, b.text); });
  Changed();
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(const AnsiString& s) {
  return AddObject(s, nullptr);
}

int TStringList::AddObject(const AnsiString& s, TObject* object) {
  if (!sorted_) {
    InsertItem(GetCount(), s, object);
    return GetCount() - 1;
  }
  int index = 0;
  if (Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
    // Among the equal lines, by bytes.
    while (index < GetCount() && !Before(s, items_[static_cast<std::size_t>(index)].text)) ++index;
  }
  InsertItem(index, s, object);
  return index;
}

int TStringList::IndexOf(const AnsiString& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const AnsiString& s, int& index) const {
  // First line not below `s` in the list's comparison.
  int lo = 0, hi = GetCount();
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (CompareStrings(items_[static_cast<std::size_t>(mid)].text, s) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  index = lo;
  return lo < GetCount() && CompareStrings(items_[static_cast<std::size_t>(lo)].text, s) == 0;
}

bool TStringList::Before(const AnsiString& a, const AnsiString& b) const {
  const int c = CompareStrings(a, b);
  if (c != 0) return c < 0;
  return a.str() < b.str();
}

void TStringList::Sort() {
  if (items_.size() < 2) return;
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return Before(a.text, b.text); });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool case_sensitive) {
  if (case_sensitive == case_sensitive_) return;
  case_sensitive_ = case_sensitive;
  if (sorted_) Sort();
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
  return case_sensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}
