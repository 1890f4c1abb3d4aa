// Builds forms from their descriptions through the classes' tables (published.h), and binds the
// form class's fields and handlers.
#include "form_loader.h"

#include <strings.h>

#include <map>
#include <memory>

#include "published.h"
#include "vcl/menus.h"

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

void Bad(LoadContext& ctx, int line, const std::string& prop, const std::string& what) {
  ctx.binding.Fail(line, "Error reading " + ctx.where + "." + prop + ": " + what);
}

std::int64_t IntOf(const dfm::Value& v, LoadContext& ctx, const std::string& prop, std::int64_t lo,
                   std::int64_t hi) {
  if (v.kind != dfm::Value::Int) Bad(ctx, v.line, prop, "Integer value expected");
  if (v.integer < lo || v.integer > hi) Bad(ctx, v.line, prop, "Value out of range");
  return v.integer;
}

namespace {

// ---- The class registry ----

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct ClassInfo {
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
  explicit Registry(std::initializer_list<std::span<const ClassTable>> units) {
    for (std::span<const ClassTable> unit : units)
      for (const ClassTable& table : unit) {
        if (!table.alias_of.empty()) {
          aliases_[table.name] = table.alias_of;
          continue;
        }
        ClassInfo& info = classes_[table.name];
        info.create = table.create;
        for (const auto& [name, prop] : table.props) info.props[name] = prop;
      }
    for (std::span<const ClassTable> unit : units)
      for (const ClassTable& table : unit)
        if (table.alias_of.empty() && !table.base.empty())
          classes_.at(table.name).base = &classes_.at(table.base);
  }

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

const Registry& Classes() {
  static const Registry registry{ClassesTables(),  GraphicsTables(), ControlsTables(),
                                 FormsTables(),    StdCtrlsTables(), ExtCtrlsTables(),
                                 ComCtrlsTables(), ButtonsTables(),  SpinTables(),
                                 GridsTables(),    MenusTables(),    DialogsTables()};
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

void ApplyProperties(TObject* obj, const char* class_name, const std::vector<dfm::Property>& props,
                     LoadContext& ctx) {
  const ClassInfo* info = Classes().Find(class_name);
  for (const dfm::Property& p : props) ApplyProperty(obj, info, p, ctx);
}

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
