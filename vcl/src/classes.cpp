#include "vcl/classes.h"

#include <algorithm>

#include "published.h"
#include "vcl/widgetset.h"

void TPersistent::Assign(TPersistent* Source) {
  AnsiString from = Source ? Source->ClassName() : AnsiString("nil");
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

namespace {

bool IsIdentifier(const AnsiString& s) {
  if (s.IsEmpty()) return false;
  for (int i = 1; i <= s.Length(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    if (!letter && !(i > 1 && c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  MarkDestroying();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& value) {
  if (value == name_) return;
  if (!value.IsEmpty() && !IsIdentifier(value))
    throw EComponentError("'" + value + "' is not a valid component name");
  if (owner_ && !value.IsEmpty()) {
    TComponent* other = owner_->FindComponent(value);
    if (other && other != this)
      throw EComponentError("A component named " + value + " already exists");
  }
  name_ = value;
}

TComponent* TComponent::GetComponent(int index) const {
  if (index < 0 || index >= static_cast<int>(components_.size()))
    throw EListError("List index out of bounds (" + AnsiString(index) + ")");
  return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
  if (AName.IsEmpty()) return nullptr;
  AnsiString wanted = AName.UpperCase();
  for (TComponent* c : components_)
    if (c->name_.UpperCase() == wanted) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ == this) return;
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  if (!AComponent->name_.IsEmpty() && FindComponent(AComponent->name_))
    throw EComponentError("A component named " + AComponent->name_ + " already exists");
  components_.push_back(AComponent);
  AComponent->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto it = std::find(components_.begin(), components_.end(), AComponent);
  if (it == components_.end()) return;
  components_.erase(it);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  // Newest first; a destructor may delete other owned components, so look again each time.
  while (!components_.empty()) {
    TComponent* last = components_.back();
    components_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
}

void TComponent::Loaded() {
  state_ >> csLoading >> csReading;
}

void TComponent::SetLoading(bool loading) {
  if (loading)
    state_ << csLoading << csReading;
  else
    state_ >> csLoading >> csReading;
}

void TComponent::Changed(vcl::Change what, int index) {
  if (!realized_ || Destroying()) return;
  if (vcl::WidgetSet* ws = vcl::CurrentWidgetSet()) ws->Changed(this, what, index);
}

// ---- Collections ----

TCollectionItem::TCollectionItem(TCollection* ACollection) : collection_(ACollection) {}

TCollectionItem::~TCollectionItem() {
  if (collection_ && !collection_->clearing_) {
    auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    if (it != items.end()) {
      items.erase(it);
      collection_->Update(nullptr);
    }
  }
}

int TCollectionItem::GetIndex() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::Changed() {
  if (collection_) collection_->Update(this);
}

TCollection::TCollection(ItemFactory factory, std::function<void(TCollectionItem*)> on_update)
    : factory_(std::move(factory)), on_update_(std::move(on_update)) {}

TCollection::~TCollection() {
  on_update_ = nullptr;
  Clear();
}

TCollectionItem* TCollection::GetItem(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    throw EListError("List index out of bounds (" + AnsiString(index) + ")");
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = factory_(this);
  items_.push_back(item);
  Update(nullptr);
  return item;
}

void TCollection::Clear() {
  if (items_.empty()) return;
  clearing_ = true;
  for (TCollectionItem* item : items_) delete item;
  items_.clear();
  clearing_ = false;
  Update(nullptr);
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = GetItem(Index);
  delete item;  // the item's destructor takes it out and updates
}

void TCollection::BeginUpdate() {
  ++update_count_;
}

void TCollection::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem* Item) {
  if (update_count_ == 0 && on_update_) on_update_(Item);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> ClassesTables() {
  static const ClassTable tables[] = {
      Publish<TPersistent>("TPersistent", "", Creation::kBaseOnly),
      Publish<TComponent>("TComponent", "TPersistent", Creation::kBaseOnly)
          .prop("Tag", &TComponent::Tag)
          .ignore({"Left", "Top"}),
      Publish<TStrings>("TStrings", "TPersistent", Creation::kBaseOnly)
          .custom("Strings",
                  [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                    auto* list = dynamic_cast<TStrings*>(obj);
                    if (v.kind != dfm::Value::List)
                      Bad(ctx, v.line, prop, "List of strings expected");
                    list->BeginUpdate();
                    list->Clear();
                    for (const dfm::Value& item : v.items) {
                      if (item.kind != dfm::Value::String) {
                        list->EndUpdate();
                        Bad(ctx, item.line, prop, "String expected in the list");
                      }
                      list->Add(AnsiString(item.text));
                    }
                    list->EndUpdate();
                  }),
  };
  return tables;
}

}  // namespace vcl::detail
