// Standard controls (labels, edits, memos, combo boxes, buttons, check boxes, group boxes,
// radio groups, static texts, panels, bevels, images, speed buttons) and plain containers.
#pragma once

#include <QLabel>
#include <QPointer>

#include "mirror.h"
#include "widgets.h"

namespace vcl::qt::detail {

// A label. Tied to an edit (its FocusControl, or the edit beside it), it names the edit for
// screen readers and its accelerator moves the focus there.
class LabelMirror : public ControlMirror {
 public:
  LabelMirror(Registry& registry, TLabel* label);
  TLabel* label() const { return static_cast<TLabel*>(component()); }
  QRect Geometry() const override;
  // Ties the label to `target` (nullptr: to nothing).
  void TieTo(ControlMirror* target);
  ControlMirror* Tied() const;

 protected:
  void ApplyText() override;
  void ApplyStyle() override;
  bool FillsBackground() const override { return !label()->Transparent(); }

 private:
  Clickable<QLabel>* label_widget_;
  QPointer<QWidget> tied_widget_;
};

}  // namespace vcl::qt::detail
