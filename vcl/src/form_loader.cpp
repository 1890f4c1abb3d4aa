// Builds forms from their descriptions: the classes the reader can create, their properties and
// events by name, and the binding of the form class's fields and handlers.
#include "form_loader.h"

#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

#include "gui_internal.h"
#include "vcl/vcl.h"

namespace vcl::detail {

// ---- FormBinding ----

void FormBinding::Fail(int line, const std::string& what) const {
  std::string where = file_.empty() && resource_ ? resource_->file : file_;
  if (line > 0) where += "(" + std::to_string(line) + ")";
  throw EReadError(AnsiString(where + ": " + what));
}

void FormBinding::AddEvent(PendingEvent event) {
  auto it = handlers_.find(event.handler);
  if (it != handlers_.end()) {
    event.bind(it->second, *this, event.line);
    return;
  }
  pending_.push_back(std::move(event));
}

void FormBinding::AddHandler(const std::string& name, AnyHandler handler) {
  handlers_[name] = handler;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->handler == name) {
      it->bind(handler, *this, it->line);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
}

void FormBinding::Check() const {
  if (pending_.empty()) return;
  const PendingEvent& e = pending_.front();
  Fail(e.line, "Error reading " + e.where + ": " + class_name_ + " publishes no handler '" +
                   e.handler + "'");
}

int FormBinding::LineOf(const TComponent* component) const {
  auto it = lines_.find(component);
  return it == lines_.end() ? 0 : it->second;
}

const EmbeddedFile* FormBinding::FindFile(const std::string& name) const {
  if (!resource_) return nullptr;
  for (std::size_t i = 0; i < resource_->file_count; ++i)
    if (resource_->files[i].name && name == resource_->files[i].name) return &resource_->files[i];
  return nullptr;
}

namespace {

// ---- The class registry ----

struct LoadContext {
  TCustomForm* form;
  FormBinding& binding;
  std::string where;  // the object being read, for messages
  std::vector<std::function<void()>> fixups;
};

[[noreturn]] void Bad(LoadContext& ctx, int line, const std::string& prop,
                      const std::string& what) {
  ctx.binding.Fail(line, "Error reading " + ctx.where + "." + prop + ": " + what);
}

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

using Setter =
    std::function<void(TObject*, const dfm::Value&, LoadContext&, const std::string& prop)>;

struct PropInfo {
  Setter set;
  std::function<TObject*(TObject*)> sub;  // a sub-object (Font, Items, Picture)
  std::string sub_class;
};

struct ClassInfo {
  std::string name;
  const ClassInfo* base = nullptr;
  std::function<TComponent*(TComponent*)> create;
  std::map<std::string, PropInfo, CaseLess> props;

  const PropInfo* Find(const std::string& prop) const {
    for (const ClassInfo* c = this; c; c = c->base) {
      auto it = c->props.find(prop);
      if (it != c->props.end()) return &it->second;
    }
    return nullptr;
  }
};

class Registry {
 public:
  ClassInfo& Add(const std::string& name, const std::string& base) {
    ClassInfo& info = classes_[name];
    info.name = name;
    if (!base.empty()) info.base = &classes_.at(base);
    return info;
  }
  void Alias(const std::string& alias, const std::string& name) { aliases_[alias] = name; }
  const ClassInfo* Find(const std::string& name) const {
    auto it = classes_.find(name);
    if (it != classes_.end()) return &it->second;
    auto a = aliases_.find(name);
    if (a != aliases_.end()) return Find(a->second);
    return nullptr;
  }

 private:
  std::map<std::string, ClassInfo, CaseLess> classes_;
  std::map<std::string, std::string, CaseLess> aliases_;
};

// ---- Enumeration names ----

using EnumTable = std::vector<std::pair<const char*, int>>;
template <class E>
const EnumTable& Names();

#define VCL_N(x) \
  { #x, static_cast < int>(x) }
#define VCL_ENUM_NAMES(E, ...)                    \
  template <>                                     \
  const EnumTable& Names<E>() {                   \
    static const EnumTable table = {__VA_ARGS__}; \
    return table;                                 \
  }

VCL_ENUM_NAMES(TAlign, VCL_N(alNone), VCL_N(alTop), VCL_N(alBottom), VCL_N(alLeft), VCL_N(alRight),
               VCL_N(alClient), VCL_N(alCustom))
VCL_ENUM_NAMES(TAlignment, VCL_N(taLeftJustify), VCL_N(taRightJustify), VCL_N(taCenter))
VCL_ENUM_NAMES(TTextLayout, VCL_N(tlTop), VCL_N(tlCenter), VCL_N(tlBottom))
VCL_ENUM_NAMES(TFormBorderStyle, VCL_N(bsNone), VCL_N(bsSingle), VCL_N(bsSizeable), VCL_N(bsDialog),
               VCL_N(bsToolWindow), VCL_N(bsSizeToolWin))
VCL_ENUM_NAMES(TBevelCut, VCL_N(bvNone), VCL_N(bvLowered), VCL_N(bvRaised), VCL_N(bvSpace))
VCL_ENUM_NAMES(TScrollStyle, VCL_N(ssNone), VCL_N(ssHorizontal), VCL_N(ssVertical), VCL_N(ssBoth))
VCL_ENUM_NAMES(TEditCharCase, VCL_N(ecNormal), VCL_N(ecUpperCase), VCL_N(ecLowerCase))
VCL_ENUM_NAMES(TDragMode, VCL_N(dmManual), VCL_N(dmAutomatic))
VCL_ENUM_NAMES(TDragKind, VCL_N(dkDrag), VCL_N(dkDock))
VCL_ENUM_NAMES(TAnchorKind, VCL_N(akLeft), VCL_N(akTop), VCL_N(akRight), VCL_N(akBottom))
VCL_ENUM_NAMES(TComboBoxStyle, VCL_N(csDropDown), VCL_N(csSimple), VCL_N(csDropDownList),
               VCL_N(csOwnerDrawFixed), VCL_N(csOwnerDrawVariable))
VCL_ENUM_NAMES(TCheckBoxState, VCL_N(cbUnchecked), VCL_N(cbChecked), VCL_N(cbGrayed))
VCL_ENUM_NAMES(TStaticBorderStyle, VCL_N(sbsNone), VCL_N(sbsSingle), VCL_N(sbsSunken))
VCL_ENUM_NAMES(TBevelShape, VCL_N(bsBox), VCL_N(bsFrame), VCL_N(bsTopLine), VCL_N(bsBottomLine),
               VCL_N(bsLeftLine), VCL_N(bsRightLine), VCL_N(bsSpacer))
VCL_ENUM_NAMES(TBevelStyle, VCL_N(bsLowered), VCL_N(bsRaised))
VCL_ENUM_NAMES(TTrackBarOrientation, VCL_N(trHorizontal), VCL_N(trVertical))
VCL_ENUM_NAMES(TTickStyle, VCL_N(tsNone), VCL_N(tsAuto), VCL_N(tsManual))
VCL_ENUM_NAMES(TTickMark, VCL_N(tmBottomRight), VCL_N(tmTopLeft), VCL_N(tmBoth))
VCL_ENUM_NAMES(TProgressBarOrientation, VCL_N(pbHorizontal), VCL_N(pbVertical))
VCL_ENUM_NAMES(TStatusPanelBevel, VCL_N(pbNone), VCL_N(pbLowered), VCL_N(pbRaised))
VCL_ENUM_NAMES(TStatusPanelStyle, VCL_N(psText), VCL_N(psOwnerDraw))
VCL_ENUM_NAMES(TToolButtonStyle, VCL_N(tbsButton), VCL_N(tbsCheck), VCL_N(tbsDropDown),
               VCL_N(tbsSeparator), VCL_N(tbsDivider))
VCL_ENUM_NAMES(TTabPosition, VCL_N(tpTop), VCL_N(tpBottom), VCL_N(tpLeft), VCL_N(tpRight))
VCL_ENUM_NAMES(TButtonLayout, VCL_N(blGlyphLeft), VCL_N(blGlyphRight), VCL_N(blGlyphTop),
               VCL_N(blGlyphBottom))
VCL_ENUM_NAMES(TGridOption, VCL_N(goFixedVertLine), VCL_N(goFixedHorzLine), VCL_N(goVertLine),
               VCL_N(goHorzLine), VCL_N(goRangeSelect), VCL_N(goDrawFocusSelected),
               VCL_N(goRowSizing), VCL_N(goColSizing), VCL_N(goRowMoving), VCL_N(goColMoving),
               VCL_N(goEditing), VCL_N(goTabs), VCL_N(goRowSelect), VCL_N(goAlwaysShowEditor),
               VCL_N(goThumbTracking))
VCL_ENUM_NAMES(TPosition, VCL_N(poDesigned), VCL_N(poDefault), VCL_N(poDefaultPosOnly),
               VCL_N(poDefaultSizeOnly), VCL_N(poScreenCenter), VCL_N(poDesktopCenter),
               VCL_N(poMainFormCenter), VCL_N(poOwnerFormCenter))
VCL_ENUM_NAMES(TFormStyle, VCL_N(fsNormal), VCL_N(fsMDIChild), VCL_N(fsMDIForm), VCL_N(fsStayOnTop))
VCL_ENUM_NAMES(TWindowState, VCL_N(wsNormal), VCL_N(wsMinimized), VCL_N(wsMaximized))
VCL_ENUM_NAMES(TBorderIcon, VCL_N(biSystemMenu), VCL_N(biMinimize), VCL_N(biMaximize),
               VCL_N(biHelp))
VCL_ENUM_NAMES(TFontStyle, VCL_N(fsBold), VCL_N(fsItalic), VCL_N(fsUnderline), VCL_N(fsStrikeOut))
VCL_ENUM_NAMES(TFontPitch, VCL_N(fpDefault), VCL_N(fpVariable), VCL_N(fpFixed))
VCL_ENUM_NAMES(TOpenOption, VCL_N(ofReadOnly), VCL_N(ofOverwritePrompt), VCL_N(ofHideReadOnly),
               VCL_N(ofNoChangeDir), VCL_N(ofShowHelp), VCL_N(ofNoValidate),
               VCL_N(ofAllowMultiSelect), VCL_N(ofExtensionDifferent), VCL_N(ofPathMustExist),
               VCL_N(ofFileMustExist), VCL_N(ofCreatePrompt), VCL_N(ofShareAware),
               VCL_N(ofNoReadOnlyReturn), VCL_N(ofNoTestFileCreate), VCL_N(ofNoNetworkButton),
               VCL_N(ofNoLongNames), VCL_N(ofOldStyleDialog), VCL_N(ofNoDereferenceLinks),
               VCL_N(ofEnableIncludeNotify), VCL_N(ofEnableSizing))

const EnumTable& ColorNames() {
  static const EnumTable table = {VCL_N(clBlack),         VCL_N(clMaroon),
                                  VCL_N(clGreen),         VCL_N(clOlive),
                                  VCL_N(clNavy),          VCL_N(clPurple),
                                  VCL_N(clTeal),          VCL_N(clGray),
                                  VCL_N(clSilver),        VCL_N(clRed),
                                  VCL_N(clLime),          VCL_N(clYellow),
                                  VCL_N(clBlue),          VCL_N(clFuchsia),
                                  VCL_N(clAqua),          VCL_N(clWhite),
                                  VCL_N(clMoneyGreen),    VCL_N(clSkyBlue),
                                  VCL_N(clCream),         VCL_N(clMedGray),
                                  VCL_N(clScrollBar),     VCL_N(clBackground),
                                  VCL_N(clActiveCaption), VCL_N(clInactiveCaption),
                                  VCL_N(clMenu),          VCL_N(clWindow),
                                  VCL_N(clWindowFrame),   VCL_N(clMenuText),
                                  VCL_N(clWindowText),    VCL_N(clCaptionText),
                                  VCL_N(clActiveBorder),  VCL_N(clInactiveBorder),
                                  VCL_N(clAppWorkSpace),  VCL_N(clHighlight),
                                  VCL_N(clHighlightText), VCL_N(clBtnFace),
                                  VCL_N(clBtnShadow),     VCL_N(clGrayText),
                                  VCL_N(clBtnText),       VCL_N(clInactiveCaptionText),
                                  VCL_N(clBtnHighlight),  VCL_N(cl3DDkShadow),
                                  VCL_N(cl3DLight),       VCL_N(clInfoText),
                                  VCL_N(clInfoBk),        VCL_N(clNone),
                                  VCL_N(clDefault)};
  return table;
}

const EnumTable& CharsetNames() {
  static const EnumTable table = {VCL_N(ANSI_CHARSET), VCL_N(DEFAULT_CHARSET),
                                  VCL_N(SYMBOL_CHARSET), VCL_N(RUSSIAN_CHARSET),
                                  VCL_N(OEM_CHARSET)};
  return table;
}

const EnumTable& CursorNames() {
  static const EnumTable table = {{"crDefault", 0},    {"crNone", -1},       {"crArrow", -2},
                                  {"crCross", -3},     {"crIBeam", -4},      {"crSizeNESW", -6},
                                  {"crSizeNS", -7},    {"crSizeNWSE", -8},   {"crSizeWE", -9},
                                  {"crUpArrow", -10},  {"crHourGlass", -11}, {"crNo", -18},
                                  {"crHandPoint", -21}};
  return table;
}

bool Lookup(const EnumTable& table, const std::string& name, int& out) {
  for (auto& [n, v] : table)
    if (strcasecmp(n, name.c_str()) == 0) {
      out = v;
      return true;
    }
  return false;
}

// ---- Value conversion ----

std::int64_t IntOf(const dfm::Value& v, LoadContext& ctx, const std::string& prop, std::int64_t lo,
                   std::int64_t hi) {
  if (v.kind != dfm::Value::Int) Bad(ctx, v.line, prop, "Integer value expected");
  if (v.integer < lo || v.integer > hi) Bad(ctx, v.line, prop, "Value out of range");
  return v.integer;
}

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

// ---- Registration helpers ----

template <class C>
class Reg {
 public:
  explicit Reg(ClassInfo& info) : info_(info) {}

  template <class T, class Owner>
  Reg& prop(const char* name, Property<T> Owner::*member) {
    static_assert(std::is_base_of_v<Owner, C>);
    info_.props[name].set = [member](TObject* obj, const dfm::Value& v, LoadContext& ctx,
                                     const std::string& prop) {
      C* target = static_cast<C*>(dynamic_cast<C*>(obj));
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

  template <class Fn, class Owner>
  Reg& event(const char* name, Fn Owner::*member) {
    static_assert(std::is_base_of_v<Owner, C>);
    std::string event_name = name;
    info_.props[name].set = [member, event_name](TObject* obj, const dfm::Value& v,
                                                 LoadContext& ctx, const std::string& prop) {
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

  template <class S, class Owner>
  Reg& sub(const char* name, S* const Owner::*member, const char* sub_class) {
    PropInfo& p = info_.props[name];
    p.sub = [member](TObject* obj) -> TObject* { return dynamic_cast<C*>(obj)->*member; };
    p.sub_class = sub_class;
    return *this;
  }

  Reg& custom(const char* name, Setter set) {
    info_.props[name].set = std::move(set);
    return *this;
  }

  // Properties the designer writes that have no effect here.
  Reg& ignore(std::initializer_list<const char*> names) {
    for (const char* n : names)
      info_.props[n].set = [](TObject*, const dfm::Value&, LoadContext&, const std::string&) {};
    return *this;
  }

 private:
  ClassInfo& info_;
};

template <class C>
Reg<C> Define(Registry& r, const char* name, const char* base, bool creatable = true) {
  ClassInfo& info = r.Add(name, base);
  if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C>) {
    if (creatable) info.create = [](TComponent* owner) -> TComponent* { return new C(owner); };
  }
  return Reg<C>(info);
}

void LoadPictureData(TPicture* picture, const std::uint8_t* data, std::size_t size) {
  // The designer's form starts with the graphic's class name (a length byte, the name) and
  // may follow it with a 4-byte length; the bytes of the image file come after.
  if (size > 1 && data[0] > 0 && data[0] < 64 && size > data[0] + 1u && data[1] == 'T') {
    std::size_t skip = 1u + data[0];
    data += skip;
    size -= skip;
    if (size >= 4 && !(data[0] == 0xFF && data[1] == 0xD8)) {
      data += 4;
      size -= 4;
    }
  }
  picture->LoadFromData(data, size);
}

void ApplyProperties(TObject* obj, const char* class_name, const std::vector<dfm::Property>& props,
                     LoadContext& ctx);

// A list of integers for an indexed property (a grid's ColWidths).
Setter IntList(IndexedProperty<int> TStringGrid::*member) {
  return [member](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
    if (v.kind != dfm::Value::List) Bad(ctx, v.line, prop, "List of integers expected");
    auto* grid = static_cast<TStringGrid*>(obj);
    int i = 0;
    for (const dfm::Value& item : v.items)
      (grid->*member)[i++] = static_cast<int>(IntOf(item, ctx, prop, -32768, 32767));
  };
}

Registry BuildRegistry() {
  Registry r;
  Define<TPersistent>(r, "TPersistent", "", false);
  Define<TComponent>(r, "TComponent", "TPersistent", false)
      .prop("Tag", &TComponent::Tag)
      .ignore({"Left", "Top"});

  Define<TFont>(r, "TFont", "TPersistent", false)
      .prop("Charset", &TFont::Charset)
      .prop("Color", &TFont::Color)
      .prop("Height", &TFont::Height)
      .prop("Name", &TFont::Name)
      .prop("Size", &TFont::Size)
      .prop("Style", &TFont::Style)
      .prop("Pitch", &TFont::Pitch);

  Define<TStrings>(r, "TStrings", "TPersistent", false)
      .custom("Strings",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                auto* list = dynamic_cast<TStrings*>(obj);
                if (v.kind != dfm::Value::List) Bad(ctx, v.line, prop, "List of strings expected");
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
              });

  Define<TPicture>(r, "TPicture", "TPersistent", false)
      .custom("Resource",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                if (v.kind != dfm::Value::String) Bad(ctx, v.line, prop, "File name expected");
                const EmbeddedFile* file = ctx.binding.FindFile(v.text);
                if (!file)
                  Bad(ctx, v.line, prop,
                      "The picture '" + v.text + "' is not embedded with this form");
                static_cast<TPicture*>(obj)->LoadFromData(file->data, file->size);
              })
      .custom("Data",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                if (v.kind != dfm::Value::Binary) Bad(ctx, v.line, prop, "Binary data expected");
                LoadPictureData(static_cast<TPicture*>(obj), v.bytes.data(), v.bytes.size());
              });

  Define<TIcon>(r, "TIcon", "TPersistent", false).ignore({"Data"});

  Define<TStatusPanel>(r, "TStatusPanel", "TPersistent", false)
      .prop("Text", &TStatusPanel::Text)
      .prop("Width", &TStatusPanel::Width)
      .prop("Alignment", &TStatusPanel::Alignment)
      .prop("Bevel", &TStatusPanel::Bevel)
      .prop("Style", &TStatusPanel::Style);

  Define<TControl>(r, "TControl", "TComponent", false)
      .prop("Left", &TControl::Left)
      .prop("Top", &TControl::Top)
      .prop("Width", &TControl::Width)
      .prop("Height", &TControl::Height)
      .prop("ClientWidth", &TControl::ClientWidth)
      .prop("ClientHeight", &TControl::ClientHeight)
      .prop("Caption", &TControl::Caption)
      .prop("Text", &TControl::Text)
      .prop("Hint", &TControl::Hint)
      .prop("ShowHint", &TControl::ShowHint)
      .prop("ParentShowHint", &TControl::ParentShowHint)
      .prop("Visible", &TControl::Visible)
      .prop("Enabled", &TControl::Enabled)
      .prop("Color", &TControl::Color)
      .prop("ParentColor", &TControl::ParentColor)
      .sub("Font", &TControl::Font, "TFont")
      .prop("ParentFont", &TControl::ParentFont)
      .prop("Align", &TControl::Align)
      .prop("Anchors", &TControl::Anchors)
      .prop("AutoSize", &TControl::AutoSize)
      .prop("PopupMenu", &TControl::PopupMenu)
      .custom("Cursor",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                int value = 0;
                if (v.kind == dfm::Value::Ident) {
                  if (!Lookup(CursorNames(), v.text, value))
                    Bad(ctx, v.line, prop, "Invalid cursor " + v.text);
                } else {
                  value = static_cast<int>(IntOf(v, ctx, prop, -32768, 32767));
                }
                static_cast<TControl*>(obj)->Cursor = value;
              })
      .prop("DragMode", &TControl::DragMode)
      .prop("DragKind", &TControl::DragKind)
      .event("OnClick", &TControl::OnClick)
      .event("OnDblClick", &TControl::OnDblClick)
      .ignore({"ExplicitLeft", "ExplicitTop", "ExplicitWidth", "ExplicitHeight", "Ctl3D",
               "ParentCtl3D", "HelpContext", "ImeName", "ImeMode", "BiDiMode", "ParentBiDiMode"});

  Define<TWinControl>(r, "TWinControl", "TControl", false)
      .prop("TabOrder", &TWinControl::TabOrder)
      .prop("TabStop", &TWinControl::TabStop)
      .event("OnEnter", &TWinControl::OnEnter)
      .event("OnExit", &TWinControl::OnExit)
      .event("OnKeyDown", &TWinControl::OnKeyDown)
      .event("OnKeyUp", &TWinControl::OnKeyUp)
      .event("OnKeyPress", &TWinControl::OnKeyPress);

  Define<TCustomForm>(r, "TForm", "TWinControl", false)
      .prop("BorderStyle", &TCustomForm::BorderStyle)
      .prop("BorderIcons", &TCustomForm::BorderIcons)
      .prop("Position", &TCustomForm::Position)
      .prop("WindowState", &TCustomForm::WindowState)
      .prop("FormStyle", &TCustomForm::FormStyle)
      .prop("Menu", &TCustomForm::Menu)
      .sub("Icon", &TCustomForm::Icon, "TIcon")
      .prop("KeyPreview", &TCustomForm::KeyPreview)
      .prop("ActiveControl", &TCustomForm::ActiveControl)
      .event("OnCreate", &TCustomForm::OnCreate)
      .event("OnDestroy", &TCustomForm::OnDestroy)
      .event("OnShow", &TCustomForm::OnShow)
      .event("OnHide", &TCustomForm::OnHide)
      .event("OnActivate", &TCustomForm::OnActivate)
      .event("OnDeactivate", &TCustomForm::OnDeactivate)
      .event("OnResize", &TCustomForm::OnResize)
      .event("OnPaint", &TCustomForm::OnPaint)
      .event("OnClose", &TCustomForm::OnClose)
      .event("OnCloseQuery", &TCustomForm::OnCloseQuery)
      .ignore({"PixelsPerInch", "TextHeight", "OldCreateOrder", "Scaled"});

  Define<TLabel>(r, "TLabel", "TControl")
      .prop("Alignment", &TLabel::Alignment)
      .prop("Layout", &TLabel::Layout)
      .prop("WordWrap", &TLabel::WordWrap)
      .prop("Transparent", &TLabel::Transparent)
      .prop("ShowAccelChar", &TLabel::ShowAccelChar)
      .prop("FocusControl", &TLabel::FocusControl);

  Define<TCustomEdit>(r, "TCustomEdit", "TWinControl", false)
      .prop("ReadOnly", &TCustomEdit::ReadOnly)
      .prop("MaxLength", &TCustomEdit::MaxLength)
      .prop("CharCase", &TCustomEdit::CharCase)
      .prop("PasswordChar", &TCustomEdit::PasswordChar)
      .prop("BorderStyle", &TCustomEdit::BorderStyle)
      .prop("AutoSelect", &TCustomEdit::AutoSelect)
      .event("OnChange", &TCustomEdit::OnChange);
  Define<TEdit>(r, "TEdit", "TCustomEdit");
  Define<TCustomMemo>(r, "TCustomMemo", "TCustomEdit", false)
      .sub("Lines", &TCustomMemo::Lines, "TStrings")
      .prop("ScrollBars", &TCustomMemo::ScrollBars)
      .prop("WordWrap", &TCustomMemo::WordWrap)
      .prop("WantReturns", &TCustomMemo::WantReturns)
      .prop("WantTabs", &TCustomMemo::WantTabs)
      .prop("Alignment", &TCustomMemo::Alignment);
  Define<TMemo>(r, "TMemo", "TCustomMemo");
  Define<TRichEdit>(r, "TRichEdit", "TCustomMemo")
      .prop("PlainText", &TRichEdit::PlainText)
      .prop("HideSelection", &TRichEdit::HideSelection);
  Define<TCSpinEdit>(r, "TCSpinEdit", "TCustomEdit")
      .prop("Value", &TCSpinEdit::Value)
      .prop("MinValue", &TCSpinEdit::MinValue)
      .prop("MaxValue", &TCSpinEdit::MaxValue)
      .prop("Increment", &TCSpinEdit::Increment)
      .prop("EditorEnabled", &TCSpinEdit::EditorEnabled);
  r.Alias("TSpinEdit", "TCSpinEdit");

  Define<TComboBox>(r, "TComboBox", "TWinControl")
      .sub("Items", &TComboBox::Items, "TStrings")
      .prop("ItemIndex", &TComboBox::ItemIndex)
      .prop("Style", &TComboBox::Style)
      .prop("Sorted", &TComboBox::Sorted)
      .prop("MaxLength", &TComboBox::MaxLength)
      .prop("CharCase", &TComboBox::CharCase)
      .prop("DropDownCount", &TComboBox::DropDownCount)
      .prop("ItemHeight", &TComboBox::ItemHeight)
      .event("OnChange", &TComboBox::OnChange)
      .event("OnSelect", &TComboBox::OnSelect)
      .event("OnDropDown", &TComboBox::OnDropDown);

  Define<TButton>(r, "TButton", "TWinControl")
      .prop("Default", &TButton::Default)
      .prop("Cancel", &TButton::Cancel)
      .prop("ModalResult", &TButton::ModalResult);
  Define<TCheckBox>(r, "TCheckBox", "TWinControl")
      .prop("Checked", &TCheckBox::Checked)
      .prop("State", &TCheckBox::State)
      .prop("AllowGrayed", &TCheckBox::AllowGrayed)
      .prop("Alignment", &TCheckBox::Alignment);
  Define<TGroupBox>(r, "TGroupBox", "TWinControl");
  Define<TStaticText>(r, "TStaticText", "TWinControl")
      .prop("Alignment", &TStaticText::Alignment)
      .prop("BorderStyle", &TStaticText::BorderStyle)
      .prop("ShowAccelChar", &TStaticText::ShowAccelChar)
      .prop("FocusControl", &TStaticText::FocusControl);

  Define<TPanel>(r, "TPanel", "TWinControl")
      .prop("BevelInner", &TPanel::BevelInner)
      .prop("BevelOuter", &TPanel::BevelOuter)
      .prop("BevelWidth", &TPanel::BevelWidth)
      .prop("BorderWidth", &TPanel::BorderWidth)
      .prop("BorderStyle", &TPanel::BorderStyle)
      .prop("Alignment", &TPanel::Alignment);
  Define<TRadioGroup>(r, "TRadioGroup", "TWinControl")
      .sub("Items", &TRadioGroup::Items, "TStrings")
      .prop("ItemIndex", &TRadioGroup::ItemIndex)
      .prop("Columns", &TRadioGroup::Columns);
  Define<TImage>(r, "TImage", "TControl")
      .sub("Picture", &TImage::Picture, "TPicture")
      .prop("Stretch", &TImage::Stretch)
      .prop("Center", &TImage::Center)
      .prop("Proportional", &TImage::Proportional)
      .prop("Transparent", &TImage::Transparent);
  Define<TBevel>(r, "TBevel", "TControl")
      .prop("Shape", &TBevel::Shape)
      .prop("Style", &TBevel::Style);
  Define<TTimer>(r, "TTimer", "TComponent")
      .prop("Enabled", &TTimer::Enabled)
      .prop("Interval", &TTimer::Interval)
      .event("OnTimer", &TTimer::OnTimer);

  Define<TTrackBar>(r, "TTrackBar", "TWinControl")
      .prop("Min", &TTrackBar::Min)
      .prop("Max", &TTrackBar::Max)
      .prop("Position", &TTrackBar::Position)
      .prop("Frequency", &TTrackBar::Frequency)
      .prop("LineSize", &TTrackBar::LineSize)
      .prop("PageSize", &TTrackBar::PageSize)
      .prop("Orientation", &TTrackBar::Orientation)
      .prop("TickStyle", &TTrackBar::TickStyle)
      .prop("TickMarks", &TTrackBar::TickMarks)
      .prop("SelStart", &TTrackBar::SelStart)
      .prop("SelEnd", &TTrackBar::SelEnd)
      .event("OnChange", &TTrackBar::OnChange);
  Define<TProgressBar>(r, "TProgressBar", "TWinControl")
      .prop("Min", &TProgressBar::Min)
      .prop("Max", &TProgressBar::Max)
      .prop("Position", &TProgressBar::Position)
      .prop("Step", &TProgressBar::Step)
      .prop("Orientation", &TProgressBar::Orientation)
      .prop("Smooth", &TProgressBar::Smooth);
  Define<TStatusBar>(r, "TStatusBar", "TWinControl")
      .custom("Panels",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                if (v.kind != dfm::Value::Collection) Bad(ctx, v.line, prop, "Collection expected");
                TStatusPanels* panels = static_cast<TStatusBar*>(obj)->Panels;
                panels->Clear();
                for (const auto& item : v.collection) {
                  TStatusPanel* panel = panels->Add();
                  ApplyProperties(panel, "TStatusPanel", item, ctx);
                }
              })
      .prop("SimplePanel", &TStatusBar::SimplePanel)
      .prop("SimpleText", &TStatusBar::SimpleText)
      .prop("SizeGrip", &TStatusBar::SizeGrip);
  Define<TToolBar>(r, "TToolBar", "TWinControl")
      .prop("ButtonWidth", &TToolBar::ButtonWidth)
      .prop("ButtonHeight", &TToolBar::ButtonHeight)
      .prop("Flat", &TToolBar::Flat)
      .prop("ShowCaptions", &TToolBar::ShowCaptions)
      .prop("Wrapable", &TToolBar::Wrapable)
      .prop("Indent", &TToolBar::Indent)
      .ignore({"EdgeBorders", "Images"});
  Define<TToolButton>(r, "TToolButton", "TControl")
      .prop("Style", &TToolButton::Style)
      .prop("ImageIndex", &TToolButton::ImageIndex)
      .prop("Down", &TToolButton::Down)
      .prop("Grouped", &TToolButton::Grouped);
  Define<TPageControl>(r, "TPageControl", "TWinControl")
      .prop("ActivePage", &TPageControl::ActivePage)
      .prop("ActivePageIndex", &TPageControl::ActivePageIndex)
      .prop("MultiLine", &TPageControl::MultiLine)
      .prop("TabPosition", &TPageControl::TabPosition)
      .event("OnChange", &TPageControl::OnChange)
      .ignore({"Images"});
  Define<TTabSheet>(r, "TTabSheet", "TWinControl")
      .prop("PageControl", &TTabSheet::PageControl)
      .prop("TabVisible", &TTabSheet::TabVisible)
      .prop("ImageIndex", &TTabSheet::ImageIndex);
  Define<TSpeedButton>(r, "TSpeedButton", "TControl")
      .sub("Glyph", &TSpeedButton::Glyph, "TPicture")
      .prop("Flat", &TSpeedButton::Flat)
      .prop("Down", &TSpeedButton::Down)
      .prop("GroupIndex", &TSpeedButton::GroupIndex)
      .prop("AllowAllUp", &TSpeedButton::AllowAllUp)
      .prop("Layout", &TSpeedButton::Layout)
      .prop("Margin", &TSpeedButton::Margin)
      .prop("Spacing", &TSpeedButton::Spacing)
      .prop("NumGlyphs", &TSpeedButton::NumGlyphs)
      .prop("Transparent", &TSpeedButton::Transparent);
  Define<TStringGrid>(r, "TStringGrid", "TWinControl")
      .prop("ColCount", &TStringGrid::ColCount)
      .prop("RowCount", &TStringGrid::RowCount)
      .prop("FixedCols", &TStringGrid::FixedCols)
      .prop("FixedRows", &TStringGrid::FixedRows)
      .prop("DefaultColWidth", &TStringGrid::DefaultColWidth)
      .prop("DefaultRowHeight", &TStringGrid::DefaultRowHeight)
      .custom("ColWidths", IntList(&TStringGrid::ColWidths))
      .custom("RowHeights", IntList(&TStringGrid::RowHeights))
      .prop("Options", &TStringGrid::Options)
      .prop("ScrollBars", &TStringGrid::ScrollBars)
      .prop("FixedColor", &TStringGrid::FixedColor)
      .prop("GridLineWidth", &TStringGrid::GridLineWidth);

  Define<TMenuItem>(r, "TMenuItem", "TComponent")
      .prop("Caption", &TMenuItem::Caption)
      .prop("Checked", &TMenuItem::Checked)
      .prop("Enabled", &TMenuItem::Enabled)
      .prop("Visible", &TMenuItem::Visible)
      .prop("Hint", &TMenuItem::Hint)
      .prop("ShortCut", &TMenuItem::ShortCut)
      .prop("RadioItem", &TMenuItem::RadioItem)
      .prop("GroupIndex", &TMenuItem::GroupIndex)
      .prop("AutoCheck", &TMenuItem::AutoCheck)
      .prop("Default", &TMenuItem::Default)
      .event("OnClick", &TMenuItem::OnClick)
      .ignore({"ImageIndex"});
  Define<TMenu>(r, "TMenu", "TComponent", false)
      .custom("AutoHotkeys",
              [](TObject* obj, const dfm::Value& v, LoadContext& ctx, const std::string& prop) {
                if (v.kind != dfm::Value::Ident)
                  Bad(ctx, v.line, prop, "maAutomatic or maManual expected");
                static_cast<TMenu*>(obj)->AutoHotkeys = strcasecmp(v.text.c_str(), "maManual") != 0;
              })
      .ignore({"Images"});
  Define<TMainMenu>(r, "TMainMenu", "TMenu");
  Define<TPopupMenu>(r, "TPopupMenu", "TMenu")
      .prop("AutoPopup", &TPopupMenu::AutoPopup)
      .event("OnPopup", &TPopupMenu::OnPopup);

  Define<TCommonDialog>(r, "TCommonDialog", "TComponent", false)
      .prop("HelpContext", &TCommonDialog::HelpContext)
      .prop("Ctl3D", &TCommonDialog::Ctl3D)
      .prop("Left", &TCommonDialog::Left)
      .prop("Top", &TCommonDialog::Top);
  Define<TOpenDialog>(r, "TOpenDialog", "TCommonDialog")
      .prop("FileName", &TOpenDialog::FileName)
      .prop("Filter", &TOpenDialog::Filter)
      .prop("FilterIndex", &TOpenDialog::FilterIndex)
      .prop("DefaultExt", &TOpenDialog::DefaultExt)
      .prop("InitialDir", &TOpenDialog::InitialDir)
      .prop("Title", &TOpenDialog::Title)
      .prop("Options", &TOpenDialog::Options);
  Define<TSaveDialog>(r, "TSaveDialog", "TOpenDialog");
  return r;
}

const Registry& Classes() {
  static const Registry registry = BuildRegistry();
  return registry;
}

// Sets one property, following dotted names through sub-objects.
void ApplyProperty(TObject* obj, const ClassInfo* info, const dfm::Property& p, LoadContext& ctx) {
  std::string name = p.name;
  std::string shown = p.name;
  for (;;) {
    std::size_t dot = name.find('.');
    std::string head = dot == std::string::npos ? name : name.substr(0, dot);
    const PropInfo* prop = info ? info->Find(head) : nullptr;
    if (!prop) Bad(ctx, p.line, shown, "Property " + head + " does not exist");
    if (dot == std::string::npos) {
      if (!prop->set) Bad(ctx, p.line, shown, "Property " + head + " takes no value of its own");
      try {
        prop->set(obj, p.value, ctx, shown);
      } catch (const EReadError&) {
        throw;
      } catch (const Exception& e) {
        Bad(ctx, p.line, shown, e.Message.str());
      }
      return;
    }
    if (!prop->sub) Bad(ctx, p.line, shown, "Property " + head + " has no parts");
    obj = prop->sub(obj);
    info = Classes().Find(prop->sub_class);
    name = name.substr(dot + 1);
  }
}

void ApplyProperties(TObject* obj, const char* class_name, const std::vector<dfm::Property>& props,
                     LoadContext& ctx) {
  const ClassInfo* info = Classes().Find(class_name);
  for (const dfm::Property& p : props) ApplyProperty(obj, info, p, ctx);
}

void LoadChild(TComponent* parent, const dfm::Object& obj, LoadContext& ctx,
               std::vector<TComponent*>& created) {
  ctx.where = obj.name.empty() ? obj.class_name : obj.name;
  const ClassInfo* info = Classes().Find(obj.class_name);
  if (!info) ctx.binding.Fail(obj.line, "Class " + obj.class_name + " not found");
  if (!info->create)
    ctx.binding.Fail(obj.line, "Class " + obj.class_name + " cannot be created here");
  TComponent* c = info->create(ctx.form);
  c->SetLoading(true);
  created.push_back(c);
  ctx.binding.SetLine(c, obj.line);
  if (!obj.name.empty()) {
    try {
      c->Name = AnsiString(obj.name);
    } catch (const Exception& e) {
      ctx.binding.Fail(obj.line, e.Message.str());
    }
  }
  if (auto* control = dynamic_cast<TControl*>(c)) {
    auto* container = dynamic_cast<TWinControl*>(parent);
    if (!container)
      ctx.binding.Fail(obj.line, ctx.where + " is a control, but " + parent->Name().str() +
                                     " cannot hold controls");
    control->Parent = container;
  } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
    if (auto* menu = dynamic_cast<TMenu*>(parent))
      menu->Items->Add(item);
    else if (auto* owner_item = dynamic_cast<TMenuItem*>(parent))
      owner_item->Add(item);
    else
      ctx.binding.Fail(obj.line, ctx.where + " is a menu item outside a menu");
  }
  for (const dfm::Property& p : obj.properties) ApplyProperty(c, info, p, ctx);
  for (const dfm::Object& child : obj.children) {
    LoadChild(c, child, ctx, created);
    ctx.where = obj.name.empty() ? obj.class_name : obj.name;
  }
}

}  // namespace

void LoadObjectTree(TCustomForm* form, const dfm::Object& root, FormBinding& binding) {
  binding.SetSource(binding.resource() ? binding.resource()->file : binding.file(),
                    root.class_name);
  LoadContext ctx{form, binding, root.name.empty() ? root.class_name : root.name, {}};
  std::vector<TComponent*> created;
  form->SetLoading(true);
  try {
    if (!root.name.empty()) {
      // A second form of the same class under one owner gets a numbered name.
      AnsiString name(root.name);
      TComponent* owner = form->Owner;
      for (int n = 1; owner && owner->FindComponent(name) && owner->FindComponent(name) != form;
           ++n)
        name = AnsiString(root.name) + "_" + AnsiString(n);
      form->Name = name;
    }
    const ClassInfo* info = Classes().Find("TForm");
    for (const dfm::Property& p : root.properties) ApplyProperty(form, info, p, ctx);
    for (const dfm::Object& child : root.children) {
      LoadChild(form, child, ctx, created);
      ctx.where = root.name;
    }
    for (auto& fixup : ctx.fixups) fixup();
  } catch (...) {
    for (TComponent* c : created) c->SetLoading(false);
    form->SetLoading(false);
    throw;
  }
  for (TComponent* c : created) c->Loaded();
  static_cast<TComponent*>(form)->Loaded();
}

void LoadDescription(TCustomForm* form, FormBinding& binding) {
  const FormResource* res = binding.resource();
  dfm::Object root = dfm::Parse(std::string_view(res->text, res->size), res->file);
  LoadObjectTree(form, root, binding);
}

}  // namespace vcl::detail
