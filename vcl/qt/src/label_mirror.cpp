#include "label_mirror.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "qt_text.h"
#include "vcl/stdctrls.h"

namespace vcl::qt::detail {

LabelMirror::LabelMirror(Book& book, TLabel* label) : ControlMirror(book, label) {
  label_widget_ = new Clickable<QLabel>(book.Find(label->Parent())->container());
  label_widget_->setTextFormat(Qt::PlainText);
  ReportClicks(label_widget_, this);
  SetWidget(label_widget_);
}

QRect LabelMirror::Geometry() const {
  QRect rect = ControlMirror::Geometry();
  TLabel* l = label();
  if (!l->AutoSize() || l->WordWrap()) return rect;
  // The library cannot measure text: an auto-sized label grows to show all of it.
  QSize hint = label_widget_->sizeHint();
  if (hint.width() > rect.width()) {
    int extra = hint.width() - rect.width();
    if (l->Alignment == taRightJustify)
      rect.setLeft(rect.left() - extra);
    else if (l->Alignment == taCenter)
      rect.adjust(-extra / 2, 0, extra - extra / 2, 0);
    else
      rect.setWidth(hint.width());
  }
  if (hint.height() > rect.height()) rect.setHeight(hint.height());
  return rect;
}

void LabelMirror::ApplyText() {
  QString caption = Q(label()->Caption);
  bool accel = label()->ShowAccelChar;
  // A label with a buddy reads '&' as the accelerator mark; one without shows text as it is.
  if (tied_widget_)
    label_widget_->setText(accel ? caption : EscapeAccel(caption));
  else
    label_widget_->setText(accel ? PlainCaption(caption) : caption);
  ApplyBounds();
  if (ControlMirror* target = Tied()) target->SetLabel(label_widget_, label_widget_->text());
}

void LabelMirror::ApplyStyle() {
  TLabel* l = label();
  Qt::Alignment vertical = l->Layout == tlCenter   ? Qt::AlignVCenter
                           : l->Layout == tlBottom ? Qt::AlignBottom
                                                   : Qt::AlignTop;
  label_widget_->setAlignment(HorizontalAlignment(l->Alignment) | vertical);
  label_widget_->setWordWrap(l->WordWrap);
  label_widget_->setAutoFillBackground(!l->Transparent);
  ApplyText();
  if (TCustomForm* form = l->ParentForm()) book().LabelsLater(form);
}

void LabelMirror::TieTo(ControlMirror* target) {
  QWidget* widget = target ? target->widget() : nullptr;
  if (widget == tied_widget_) return;
  if (ControlMirror* old = Tied()) old->SetLabel(nullptr, QString());
  tied_widget_ = widget;
  label_widget_->setBuddy(widget);
  ApplyText();
}

ControlMirror* LabelMirror::Tied() const {
  if (!tied_widget_) return nullptr;
  return dynamic_cast<ControlMirror*>(book().MirrorOfWidget(tied_widget_));
}

namespace {

struct Box {
  int left, top, right, bottom;
};

Box BoxOf(TControl* c) {
  return {c->Left, c->Top, c->Left + c->Width, c->Top + c->Height};
}

// How well a label names an edit: a label just left of it on the same line, or just above
// it; lower is better, negative means not at all.
int LabelScore(const Box& label, const Box& edit) {
  int overlap = std::min(label.bottom, edit.bottom) - std::max(label.top, edit.top);
  int label_height = label.bottom - label.top, edit_height = edit.bottom - edit.top;
  int gap_right = edit.left - label.right;
  if (gap_right >= -2 && gap_right <= 48 && overlap * 2 >= std::min(label_height, edit_height))
    return std::max(0, gap_right);
  int gap_below = edit.top - label.bottom;
  if (gap_below >= -2 && gap_below <= 16 && std::abs(label.left - edit.left) <= 24)
    return 100 + std::max(0, gap_below);
  return -1;
}

void Collect(const Book& book, TWinControl* parent, std::vector<LabelMirror*>& labels,
             std::vector<ControlMirror*>& values) {
  for (int i = 0; i < parent->ControlCount; ++i) {
    TControl* c = parent->Controls[i];
    Mirror* m = book.Find(c);
    if (auto* label = dynamic_cast<LabelMirror*>(m))
      labels.push_back(label);
    else if (auto* control = dynamic_cast<ControlMirror*>(m); control && control->TextIsValue())
      values.push_back(control);
    if (auto* win = dynamic_cast<TWinControl*>(c)) Collect(book, win, labels, values);
  }
}

}  // namespace

void TieLabels(Book& book, TCustomForm* form) {
  Book::Echo echo(book);
  std::vector<LabelMirror*> labels;
  std::vector<ControlMirror*> values;
  Collect(book, form, labels, values);
  std::map<LabelMirror*, ControlMirror*> ties;
  std::set<ControlMirror*> named;
  // Labels that name their control themselves come first.
  for (LabelMirror* label : labels)
    if (TWinControl* target = label->label()->FocusControl())
      if (auto* m = book.FindAs<ControlMirror>(target)) {
        ties[label] = m;
        named.insert(m);
      }
  // Then, nearest first, a visible label beside a control that no label names yet.
  struct Pair {
    int score;
    LabelMirror* label;
    ControlMirror* value;
  };
  std::vector<Pair> pairs;
  for (LabelMirror* label : labels) {
    TLabel* l = label->label();
    if (ties.count(label) || !l->Visible() || l->Caption().IsEmpty()) continue;
    for (ControlMirror* value : values) {
      if (named.count(value) || value->control()->Parent() != l->Parent()) continue;
      int score = LabelScore(BoxOf(l), BoxOf(value->control()));
      if (score >= 0) pairs.push_back({score, label, value});
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& a, const Pair& b) { return a.score < b.score; });
  for (const Pair& p : pairs) {
    if (ties.count(p.label) || named.count(p.value)) continue;
    ties[p.label] = p.value;
    named.insert(p.value);
  }
  for (LabelMirror* label : labels) {
    auto it = ties.find(label);
    label->TieTo(it == ties.end() ? nullptr : it->second);
  }
}

}  // namespace vcl::qt::detail
