// Published properties: what a form description may set on an object of a class, by name.
// Each class has one small table beside it, in its unit's source (TLabel's in stdctrls.cpp), and
// each unit lists its tables, one class a line:
//
//   std::span<const ClassTable> StdCtrlsTables() {
//     static const ClassTable tables[] = {
//         Publish<TLabel>("TLabel", "TControl").prop("Layout", &TLabel::Layout),
//         ...
//
// The form loader (form_loader.cpp) reads descriptions through these tables and knows no class.
#pragma once

#include <strings.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

#include "enum_names.h"
#include "form_loader.h"
#include "vcl/form_reader.h"
#include "vcl/graphics.h"

namespace vcl::detail {

// What a setter needs while a description is built into a form.
struct LoadContext {
  TCustomForm* form;
  FormBinding& binding;
  std::string where;  // the object being read, for messages
  // Run once every object exists (properties that name another component).
  std::vector<std::function<void()>> fixups;
};

// Raises EReadError "Error reading <object>.<prop>: <what>" at the description's line.
[[noreturn]] void Bad(LoadContext& ctx, int line, const std::string& prop, const std::string& what);

// Sets the properties of a sub-object read from a collection item (a status bar's panels).
void ApplyProperties(TObject* obj, const char* class_name, const std::vector<dfm::Property>& props,
                     LoadContext& ctx);

using Setter =
    std::function<void(TObject*, const dfm::Value&, LoadContext&, const std::string& prop)>;

struct PropInfo {
  Setter set;
  std::function<TObject*(TObject*)> sub;  // a sub-object (Font, Items, Picture)
  std::string sub_class;
};

// One class as descriptions know it: its name, its base's name, how to create it, and the
// properties it adds to its base. A table with alias_of set names another class.
struct ClassTable {
  std::string name;
  std::string base;
  std::string alias_of;
  std::function<TComponent*(TComponent*)> create;
  std::vector<std::pair<std::string, PropInfo>> props;
};

// The tables of each unit (vcl/src/<unit>.cpp).
std::span<const ClassTable> ClassesTables();
std::span<const ClassTable> GraphicsTables();
std::span<const ClassTable> ControlsTables();
std::span<const ClassTable> FormsTables();
std::span<const ClassTable> StdCtrlsTables();
std::span<const ClassTable> ExtCtrlsTables();
std::span<const ClassTable> ComCtrlsTables();
std::span<const ClassTable> ButtonsTables();
std::span<const ClassTable> SpinTables();
std::span<const ClassTable> GridsTables();
std::span<const ClassTable> MenusTables();
std::span<const ClassTable> DialogsTables();

// ---- Value conversion ----

std::int64_t IntOf(const dfm::Value& v, LoadContext& ctx, const std::string& prop, std::int64_t lo,
                   std::int64_t hi);

template <class T>
T Convert(const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
  if constexpr (std::is_same_v<T, bool>) {
    if (v.kind == dfm::Value::Ident) {
      if (strcasecmp(v.text.c_str(), "True") == 0) return true;
      if (strcasecmp(v.text.c_str(), "False") == 0) return false;
    }
    Bad(ctx, v.line, prop, "True or False expected");
  } else if constexpr (std::is_same_v<T, AnsiString>) {
    if (v.kind != dfm::Value::String) Bad(ctx, v.line, prop, "String value expected");
    return AnsiString(v.text);
  } else if constexpr (std::is_same_v<T, char>) {
    if (v.kind != dfm::Value::String || v.text.size() > 1)
      Bad(ctx, v.line, prop, "A single character expected");
    return v.text.empty() ? '\0' : v.text[0];
  } else if constexpr (std::is_same_v<T, TColor>) {
    int value = 0;
    if (v.kind == dfm::Value::Ident) {
      if (!Lookup(ColorNames(), v.text, value)) Bad(ctx, v.line, prop, "Invalid colour " + v.text);
      return static_cast<TColor>(value);
    }
    return static_cast<TColor>(static_cast<std::int32_t>(
        IntOf(v, ctx, prop, std::numeric_limits<std::int32_t>::min(), 0xFFFFFFFFll)));
  } else if constexpr (std::is_enum_v<T>) {
    int value = 0;
    if (v.kind != dfm::Value::Ident || !Lookup(Names<T>(), v.text, value))
      Bad(ctx, v.line, prop,
          "Invalid property value" + (v.kind == dfm::Value::Ident ? " " + v.text : ""));
    return static_cast<T>(value);
  } else if constexpr (std::is_same_v<T, TFontCharset>) {
    int value = 0;
    if (v.kind == dfm::Value::Ident) {
      if (!Lookup(CharsetNames(), v.text, value))
        Bad(ctx, v.line, prop, "Invalid charset " + v.text);
      return static_cast<TFontCharset>(value);
    }
    return static_cast<TFontCharset>(IntOf(v, ctx, prop, 0, 255));
  } else if constexpr (std::is_integral_v<T>) {
    using L = std::numeric_limits<T>;
    return static_cast<T>(IntOf(v, ctx, prop, static_cast<std::int64_t>(L::min()),
                                static_cast<std::int64_t>(L::max())));
  } else {
    static_assert(sizeof(T) == 0, "no conversion");
  }
}

template <class E>
Set<E> ConvertSet(const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
  if (v.kind != dfm::Value::SetOf) Bad(ctx, v.line, prop, "Set value expected");
  Set<E> set;
  for (const std::string& name : v.names) {
    int value = 0;
    if (!Lookup(Names<E>(), name, value)) Bad(ctx, v.line, prop, "Invalid set element " + name);
    set << static_cast<E>(value);
  }
  return set;
}

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<Set<E>> : std::true_type {
  using Element = E;
};

// ---- The table of one class ----

enum class Creation { kCreatable, kBaseOnly };

template <class C>
class Publish {
 public:
  // kBaseOnly: a base class whose properties others inherit; descriptions do not create it.
  Publish(const char* name, const char* base, Creation creation = Creation::kCreatable) {
    table_.name = name;
    table_.base = base;
    if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C>) {
      if (creation == Creation::kCreatable)
        table_.create = [](TComponent* owner) -> TComponent* { return new C(owner); };
    }
  }

  operator ClassTable() const { return table_; }

  // A property of a value type, an enumeration, a set or a component named by the description.
  template <class T, class Owner>
  Publish& prop(const char* name, Property<T> Owner::*member) {
    static_assert(std::is_base_of_v<Owner, C>);
    Add(name).set = [member](TObject* obj, const dfm::Value& v, LoadContext& ctx,
                             const std::string& prop) {
      C* target = dynamic_cast<C*>(obj);
      if constexpr (std::is_pointer_v<T>) {
        using Target = std::remove_pointer_t<T>;
        if (v.kind != dfm::Value::Ident) Bad(ctx, v.line, prop, "Component name expected");
        std::string ref = v.text;
        int line = v.line;
        std::string where = ctx.where;
        LoadContext* c = &ctx;
        ctx.fixups.push_back([target, member, ref, line, where, prop, c] {
          TComponent* found = strcasecmp(ref.c_str(), c->form->Name().c_str()) == 0
                                  ? c->form
                                  : c->form->FindComponent(ref.c_str());
          auto* typed = dynamic_cast<Target*>(found);
          if (!typed) {
            c->where = where;
            Bad(*c, line, prop,
                found ? ref + " is not of the kind this property takes"
                      : "Component " + ref + " not found");
          }
          (target->*member) = typed;
        });
      } else if constexpr (IsSet<T>::value) {
        (target->*member) = ConvertSet<typename IsSet<T>::Element>(v, ctx, prop);
      } else {
        (target->*member) = Convert<T>(v, ctx, prop);
      }
    };
    return *this;
  }

  // An event: the description names a handler of the form class, bound once it is known.
  template <class Fn, class Owner>
  Publish& event(const char* name, Fn Owner::*member) {
    static_assert(std::is_base_of_v<Owner, C>);
    std::string event_name = name;
    Add(name).set = [member, event_name](TObject* obj, const dfm::Value& v, LoadContext& ctx,
                                         const std::string& prop) {
      if (v.kind != dfm::Value::Ident) Bad(ctx, v.line, prop, "Handler name expected");
      C* target = dynamic_cast<C*>(obj);
      FormBinding::PendingEvent e;
      e.handler = v.text;
      e.where = ctx.where + "." + event_name;
      e.line = v.line;
      std::string where = e.where;
      std::string handler = v.text;
      e.bind = [target, member, where, handler](const AnyHandler& h, const FormBinding& b,
                                                int line) {
        if (h.type != std::type_index(typeid(Fn)))
          b.Fail(line, "Error reading " + where + ": the handler " + handler +
                           " does not take the parameters of this event");
        target->*member = *static_cast<Fn*>(h.fn.get());
      };
      ctx.binding.AddEvent(std::move(e));
    };
    return *this;
  }

  // A sub-object whose own properties the description sets ("Font.Name", "Items.Strings").
  template <class S, class Owner>
  Publish& sub(const char* name, S* const Owner::*member, const char* sub_class) {
    static_assert(std::is_base_of_v<Owner, C>);
    PropInfo& p = Add(name);
    p.sub = [member](TObject* obj) -> TObject* { return dynamic_cast<C*>(obj)->*member; };
    p.sub_class = sub_class;
    return *this;
  }

  Publish& custom(const char* name, Setter set) {
    Add(name).set = std::move(set);
    return *this;
  }

  // Properties the designer writes that have no effect here.
  Publish& ignore(std::initializer_list<const char*> names) {
    for (const char* n : names)
      Add(n).set = [](TObject*, const dfm::Value&, LoadContext&, const std::string&) {};
    return *this;
  }

 private:
  PropInfo& Add(const char* name) { return table_.props.emplace_back(name, PropInfo{}).second; }

  ClassTable table_;
};

// Another name for a class ("TSpinEdit" for "TCSpinEdit").
inline ClassTable Alias(const char* alias, const char* name) {
  ClassTable table;
  table.name = alias;
  table.alias_of = name;
  return table;
}

}  // namespace vcl::detail
