// Labels, and the tying of each label to the control it names: its FocusControl, else the
// value control beside it (just left on the same line, or just above).
#pragma once

#include <QLabel>
#include <QPointer>

#include "mirror.h"
#include "vcl/stdctrls.h"
#include "widgets.h"

namespace vcl::qt::detail {

// A label. Tied to an edit, it names the edit for screen readers and its accelerator moves
// the focus there.
class LabelMirror : public ControlMirror {
 public:
  LabelMirror(Book& book, TLabel* label);
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

// Ties every label of the form to the control it names (or to nothing).
void TieLabels(Book& book, TCustomForm* form);

}  // namespace vcl::qt::detail
