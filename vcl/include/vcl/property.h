// Properties in the class library's style: `Label1->Caption = "x"` calls the setter, reading
// `Label1->Caption` (or `Label1->Caption()`) calls the getter. Where a value's own member is
// needed, call the property first: `Edit1->Text().Length()`.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <utility>

template <class T>
class Property {
 public:
  using Getter = std::function<T()>;
  using Setter = std::function<void(const T&)>;

  Property(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
  // Bound to an object's getter and setter member functions.
  template <class O, class CG, class R, class CS, class A>
  Property(O* obj, R (CG::*get)() const, void (CS::*set)(A))
      : get_([obj, get] { return static_cast<T>((obj->*get)()); }),
        set_([obj, set](const T& v) { (obj->*set)(v); }) {}
  Property(const Property&) = delete;

  T operator()() const { return get_(); }
  operator T() const { return get_(); }

  Property& operator=(const Property& other) {
    set_(other.get_());
    return *this;
  }
  template <class U>
  requires std::is_convertible_v<U, T> Property& operator=(U&& value) {
    set_(static_cast<T>(std::forward<U>(value)));
    return *this;
  }
  template <class U>
  Property& operator+=(const U& value) {
    set_(static_cast<T>(get_() + value));
    return *this;
  }
  template <class U>
  Property& operator-=(const U& value) {
    set_(static_cast<T>(get_() - value));
    return *this;
  }
  Property& operator++() {
    set_(static_cast<T>(get_() + 1));
    return *this;
  }
  T operator++(int) {
    T old = get_();
    set_(static_cast<T>(old + 1));
    return old;
  }

  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator==(const Property& p,
                                                                              const U& v)
      -> decltype(std::declval<T>() == v) {
    return p.get_() == v;
  }
  friend bool operator==(const Property& a, const Property& b) { return a.get_() == b.get_(); }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator<(const Property& p,
                                                                             const U& v)
      -> decltype(std::declval<T>() < v) {
    return p.get_() < v;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator>(const Property& p,
                                                                             const U& v)
      -> decltype(std::declval<T>() > v) {
    return p.get_() > v;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator<=(const Property& p,
                                                                              const U& v)
      -> decltype(std::declval<T>() <= v) {
    return p.get_() <= v;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator>=(const Property& p,
                                                                              const U& v)
      -> decltype(std::declval<T>() >= v) {
    return p.get_() >= v;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator+(const Property& p,
                                                                             const U& v)
      -> decltype(std::declval<T>() + v) {
    return p.get_() + v;
  }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator+(const U& v,
                                                                             const Property& p)
      -> decltype(v + std::declval<T>()) {
    return v + p.get_();
  }
  friend auto operator+(const Property& a, const Property& b) { return a.get_() + b.get_(); }
  template <class U>
  requires(!std::is_same_v<std::decay_t<U>, Property>) friend auto operator-(const Property& p,
                                                                             const U& v)
      -> decltype(std::declval<T>() - v) {
    return p.get_() - v;
  }

 private:
  Getter get_;
  Setter set_;
};

// A property read through a getter only.
template <class T>
class ReadOnlyProperty {
 public:
  explicit ReadOnlyProperty(std::function<T()> get) : get_(std::move(get)) {}
  template <class O, class C, class R>
  ReadOnlyProperty(O* obj, R (C::*get)() const)
      : get_([obj, get] { return static_cast<T>((obj->*get)()); }) {}
  ReadOnlyProperty(const ReadOnlyProperty&) = delete;
  ReadOnlyProperty& operator=(const ReadOnlyProperty&) = delete;
  T operator()() const { return get_(); }
  operator T() const { return get_(); }
  template <class U>
  friend auto operator==(const ReadOnlyProperty& p, const U& v)
      -> decltype(std::declval<T>() == v) {
    return p.get_() == v;
  }
  template <class U>
  friend auto operator<(const ReadOnlyProperty& p, const U& v) -> decltype(std::declval<T>() < v) {
    return p.get_() < v;
  }
  template <class U>
  friend auto operator>(const ReadOnlyProperty& p, const U& v) -> decltype(std::declval<T>() > v) {
    return p.get_() > v;
  }
  template <class U>
  friend auto operator-(const ReadOnlyProperty& p, const U& v) -> decltype(std::declval<T>() - v) {
    return p.get_() - v;
  }
  template <class U>
  friend auto operator+(const ReadOnlyProperty& p, const U& v) -> decltype(std::declval<T>() + v) {
    return p.get_() + v;
  }

 private:
  std::function<T()> get_;
};

// An indexed property: `List->Strings[i] = "x"`, `AnsiString s = List->Strings[i]`.
template <class T>
class IndexedProperty {
 public:
  using Getter = std::function<T(int)>;
  using Setter = std::function<void(int, const T&)>;

  class Ref {
   public:
    Ref(const IndexedProperty* owner, int index) : owner_(owner), index_(index) {}
    T operator()() const { return owner_->get_(index_); }
    operator T() const { return owner_->get_(index_); }
    Ref& operator=(const T& value) {
      owner_->set_(index_, value);
      return *this;
    }
    Ref& operator=(const Ref& other) {
      owner_->set_(index_, other());
      return *this;
    }
    template <class U>
    friend auto operator==(const Ref& r, const U& v) -> decltype(std::declval<T>() == v) {
      return r() == v;
    }
    template <class U>
    requires(!std::is_same_v<std::decay_t<U>, Ref>) friend auto operator+(const Ref& r, const U& v)
        -> decltype(std::declval<T>() + v) {
      return r() + v;
    }
    template <class U>
    requires(!std::is_same_v<std::decay_t<U>, Ref>) friend auto operator+(const U& v, const Ref& r)
        -> decltype(v + std::declval<T>()) {
      return v + r();
    }

   private:
    const IndexedProperty* owner_;
    int index_;
  };

  IndexedProperty(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
  template <class O, class CG, class R, class CS, class A>
  IndexedProperty(O* obj, R (CG::*get)(int) const, void (CS::*set)(int, A))
      : get_([obj, get](int i) { return static_cast<T>((obj->*get)(i)); }),
        set_([obj, set](int i, const T& v) { (obj->*set)(i, v); }) {}
  IndexedProperty(const IndexedProperty&) = delete;
  IndexedProperty& operator=(const IndexedProperty&) = delete;
  Ref operator[](int index) const { return Ref(this, index); }

 private:
  Getter get_;
  Setter set_;
};

// An indexed property read through a getter only: `Form->Components[i]`, `Menu->Items[i]`.
template <class T>
class ReadOnlyIndexedProperty {
 public:
  using Getter = std::function<T(int)>;
  explicit ReadOnlyIndexedProperty(Getter get) : get_(std::move(get)) {}
  template <class O, class C, class R>
  ReadOnlyIndexedProperty(O* obj, R (C::*get)(int) const)
      : get_([obj, get](int i) { return static_cast<T>((obj->*get)(i)); }) {}
  ReadOnlyIndexedProperty(const ReadOnlyIndexedProperty&) = delete;
  ReadOnlyIndexedProperty& operator=(const ReadOnlyIndexedProperty&) = delete;
  T operator[](int index) const { return get_(index); }

 private:
  Getter get_;
};

// A property with two indexes, as a grid's `Cells[col][row]`.
template <class T>
class IndexedProperty2 {
 public:
  using Getter = std::function<T(int, int)>;
  using Setter = std::function<void(int, int, const T&)>;

  class Ref {
   public:
    Ref(const IndexedProperty2* owner, int col, int row) : owner_(owner), col_(col), row_(row) {}
    T operator()() const { return owner_->get_(col_, row_); }
    operator T() const { return owner_->get_(col_, row_); }
    Ref& operator=(const T& value) {
      owner_->set_(col_, row_, value);
      return *this;
    }
    Ref& operator=(const Ref& other) {
      owner_->set_(col_, row_, other());
      return *this;
    }
    template <class U>
    friend auto operator==(const Ref& r, const U& v) -> decltype(std::declval<T>() == v) {
      return r() == v;
    }

   private:
    const IndexedProperty2* owner_;
    int col_, row_;
  };

  class Col {
   public:
    Col(const IndexedProperty2* owner, int col) : owner_(owner), col_(col) {}
    Ref operator[](int row) const { return Ref(owner_, col_, row); }

   private:
    const IndexedProperty2* owner_;
    int col_;
  };

  IndexedProperty2(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
  template <class O, class CG, class R, class CS, class A>
  IndexedProperty2(O* obj, R (CG::*get)(int, int) const, void (CS::*set)(int, int, A))
      : get_([obj, get](int c, int r) { return static_cast<T>((obj->*get)(c, r)); }),
        set_([obj, set](int c, int r, const T& v) { (obj->*set)(c, r, v); }) {}
  IndexedProperty2(const IndexedProperty2&) = delete;
  IndexedProperty2& operator=(const IndexedProperty2&) = delete;
  Col operator[](int col) const { return Col(this, col); }

 private:
  Getter get_;
  Setter set_;
};

// A set of enumeration values, as `TFontStyles() << fsBold`.
template <class E>
class Set {
 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  constexpr Set& operator<<(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr Set& operator>>(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Set operator+(const Set& o) const { return FromBits(bits_ | o.bits_); }
  constexpr Set operator-(const Set& o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr Set operator*(const Set& o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const Set&) const = default;
  constexpr std::uint64_t Bits() const { return bits_; }
  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    s.bits_ = bits;
    return s;
  }

 private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
  std::uint64_t bits_ = 0;
};
