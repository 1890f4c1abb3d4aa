// Classes: persistent objects, components (Name, Owner, Components, FindComponent, Tag),
// collections, and the string lists.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "vcl/property.h"
#include "vcl/system.h"
#include "vcl/sysutils.h"
#include "vcl/string_list.h"

namespace vcl {
// What changed about a component, as told to the widget set (vcl/widgetset.h).
enum class Change : int;
}  // namespace vcl

// Errors of the form-description reader and of component names.
// (EReadError comes from SysUtils.)
VCL_EXCEPTION_CLASS(EClassNotFound, EReadError);

// Gives a class its name for ClassName() (messages of the reader name classes).
#define VCL_CLASS_NAME(Class)             \
  AnsiString ClassName() const override { \
    return #Class;                        \
  }

class TPersistent : public TObject {
 public:
  VCL_CLASS_NAME(TPersistent)
  // Copies what can be copied from Source; raises EConvertError when the kinds do not match.
  virtual void Assign(TPersistent* Source);
};

enum TComponentStateItem { csLoading, csReading, csDestroying };
using TComponentState = Set<TComponentStateItem>;

// A component is owned by its Owner, which destroys it (newest first) when it is destroyed
// itself. Names are unique among the components of one owner (compared case-insensitively).
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  VCL_CLASS_NAME(TComponent)

  // Setting a name that another component of the same owner has raises EComponentError
  // "A component named <name> already exists"; a name that is not an identifier raises
  // EComponentError "'<name>' is not a valid component name".
  Property<AnsiString> Name{this, &TComponent::GetName, &TComponent::SetName};
  ReadOnlyProperty<TComponent*> Owner{this, &TComponent::GetOwner};
  // Owned components in creation order; an index out of range raises EListError.
  ReadOnlyIndexedProperty<TComponent*> Components{this, &TComponent::GetComponent};
  ReadOnlyProperty<int> ComponentCount{this, &TComponent::GetComponentCount};
  ReadOnlyProperty<TComponentState> ComponentState{this, &TComponent::GetComponentState};
  Property<std::intptr_t> Tag{[this] { return tag_; }, [this](std::intptr_t v) { tag_ = v; }};

  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const AnsiString& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();

  // Called once after the form-description reader has set all properties of the component.
  virtual void Loaded();

  // ---- Widget-set bookkeeping (used by the library and by widget sets) ----
  // True once the widget set has been told about this component (WidgetSet::Insert).
  bool Realized() const { return realized_; }
  void SetRealized(bool realized) { realized_ = realized; }
  // Tells the widget set, if it knows the component, what changed.
  void Changed(vcl::Change what, int index = -1);
  // Marks the component as being read from a form description (csLoading) or done.
  void SetLoading(bool loading);
  // Stores a new value of a shown property and tells the widget set; false when unchanged.
  template <class T>
  bool StoreShown(T& field, const T& value, vcl::Change what) {
    if (field == value) return false;
    field = value;
    Changed(what);
    return true;
  }

 protected:
  bool Loading() const { return state_.Contains(csLoading); }
  bool Destroying() const { return state_.Contains(csDestroying); }
  void MarkDestroying() { state_ << csDestroying; }

 private:
  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& value);
  TComponent* GetOwner() const { return owner_; }
  TComponent* GetComponent(int index) const;
  int GetComponentCount() const { return static_cast<int>(components_.size()); }
  TComponentState GetComponentState() const { return state_; }

  AnsiString name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  TComponentState state_;
  std::intptr_t tag_ = 0;
  bool realized_ = false;
};

class TCollection;

// One item of a collection (a status bar's panel).
class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection* ACollection);
  ~TCollectionItem() override;
  VCL_CLASS_NAME(TCollectionItem)
  TCollection* Collection() const { return collection_; }
  ReadOnlyProperty<int> Index{this, &TCollectionItem::GetIndex};

 protected:
  // Tells the collection (and so its owner) that this item changed.
  void Changed();

 private:
  friend class TCollection;
  int GetIndex() const;
  TCollection* collection_;
};

// A list of owned items of one class; Add creates an item through the factory.
class TCollection : public TPersistent {
 public:
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  TCollection(ItemFactory factory, std::function<void(TCollectionItem*)> on_update = {});
  ~TCollection() override;
  VCL_CLASS_NAME(TCollection)

  ReadOnlyProperty<int> Count{this, &TCollection::GetCount};
  // An index out of range raises EListError "List index out of bounds (<i>)".
  ReadOnlyIndexedProperty<TCollectionItem*> Items{this, &TCollection::GetItem};
  TCollectionItem* Add();
  void Clear();
  void Delete(int Index);
  void BeginUpdate();
  void EndUpdate();
  // Called with the changed item, or nullptr when the list itself changed.
  virtual void Update(TCollectionItem* Item);

 private:
  friend class TCollectionItem;
  int GetCount() const { return static_cast<int>(items_.size()); }
  TCollectionItem* GetItem(int index) const;

  ItemFactory factory_;
  std::function<void(TCollectionItem*)> on_update_;
  std::vector<TCollectionItem*> items_;
  int update_count_ = 0;
  bool clearing_ = false;
};
