// Building a form from its description, and binding the form class's fields and handlers.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "vcl/form_reader.h"
#include "vcl/forms.h"

namespace vcl::detail {

class FormBinding {
 public:
  explicit FormBinding(const FormResource* resource) : resource_(resource) {}

  const FormResource* resource() const { return resource_; }
  const std::string& file() const { return file_; }
  const std::string& class_name() const { return class_name_; }
  // "<file>(<line>): <what>"
  [[noreturn]] void Fail(int line, const std::string& what) const;

  // An event of the description waiting for its handler.
  struct PendingEvent {
    std::string handler;
    std::string where;  // "Button1.OnClick"
    int line;
    std::function<void(const AnyHandler&, const FormBinding&, int line)> bind;
  };
  void AddEvent(PendingEvent event);
  void AddHandler(const std::string& name, AnyHandler handler);
  // Raises EReadError for the first event whose handler never came.
  void Check() const;
  // The description line of an object, or 0.
  int LineOf(const TComponent* component) const;
  void SetLine(const TComponent* component, int line) { lines_[component] = line; }
  void SetSource(std::string file, std::string class_name) {
    file_ = std::move(file);
    class_name_ = std::move(class_name);
  }
  // A file embedded with the description (Picture.Resource), or nullptr.
  const EmbeddedFile* FindFile(const std::string& name) const;

 private:
  const FormResource* resource_;
  std::string file_;
  std::string class_name_;
  std::vector<PendingEvent> pending_;
  std::map<std::string, AnyHandler> handlers_;
  std::map<const TComponent*, int> lines_;
};

// Parses the resource's text and builds it into the form.
void LoadDescription(TCustomForm* form, FormBinding& binding);
// Builds a parsed description into the form: the root's properties go to the form, the nested
// objects become components owned by it.
void LoadObjectTree(TCustomForm* form, const dfm::Object& root, FormBinding& binding);

}  // namespace vcl::detail
