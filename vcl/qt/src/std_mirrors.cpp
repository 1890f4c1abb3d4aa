#include "std_mirrors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <vector>

#include "qt_text.h"
#include "registry.h"

namespace vcl::qt::detail {
namespace {

Qt::Alignment HorizontalAlignment(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return Qt::AlignRight;
    case taCenter:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

// Clicks and double clicks on a widget of our own go to the control.
template <class W>
W* ReportClicks(W* widget, ControlMirror* mirror) {
  widget->on_click = [mirror] { mirror->UserClick(); };
  widget->on_double_click = [mirror] { mirror->UserClick(true); };
  return widget;
}

// ---- Plain containers and unknown kinds ----

class GenericMirror : public ControlMirror {
 public:
  GenericMirror(Registry& registry, TControl* control) : ControlMirror(registry, control) {
    SetWidget(
        ReportClicks(new Clickable<QWidget>(registry.Find(control->Parent())->container()), this));
  }

 protected:
  bool FillsBackground() const override { return !IsGraphic(); }
};

// ---- Edits ----

class EditMirror : public ControlMirror {
 public:
  EditMirror(Registry& registry, TCustomEdit* edit) : ControlMirror(registry, edit) {
    edit_ = new QLineEdit(registry.Find(edit->Parent())->container());
    SetWidget(edit_);
    QObject::connect(edit_, &QLineEdit::textEdited, link(), [this](const QString& text) {
      TCustomEdit* e = this->edit();
      AnsiString typed = A(text);
      User([e, typed] { input::Type(e, typed); },
           [](Mirror& m) {
             if (auto* self = dynamic_cast<EditMirror*>(&m)) self->ApplyText();
           });
    });
  }
  TCustomEdit* edit() const { return static_cast<TCustomEdit*>(component()); }
  bool TextIsValue() const override { return true; }

 protected:
  void ApplyText() override { SetLineText(edit_, Q(edit()->Text)); }
  void ApplyStyle() override {
    TCustomEdit* e = this->edit();
    edit_->setReadOnly(e->ReadOnly);
    edit_->setEchoMode(e->PasswordChar() ? QLineEdit::Password : QLineEdit::Normal);
    edit_->setFrame(e->BorderStyle != bsNone);
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

 private:
  QLineEdit* edit_;
};

// ---- Memos and the rich edit ----

class MemoMirror : public ControlMirror {
 public:
  MemoMirror(Registry& registry, TCustomMemo* memo) : ControlMirror(registry, memo) {
    text_ = new QPlainTextEdit(registry.Find(memo->Parent())->container());
    SetWidget(text_);
    QObject::connect(text_, &QPlainTextEdit::textChanged, link(), [this] {
      if (this->registry().Mirroring()) return;
      TCustomMemo* m = this->memo();
      QString typed = text_->toPlainText();
      typed.replace(u'\n', QStringLiteral("\r\n"));
      AnsiString text = A(typed);
      User([m, text] { input::Type(m, text); },
           [](Mirror& mirror) {
             if (auto* self = dynamic_cast<MemoMirror*>(&mirror)) self->ApplyText();
           });
    });
  }
  TCustomMemo* memo() const { return static_cast<TCustomMemo*>(component()); }
  bool TextIsValue() const override { return true; }

  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Items:
        ApplyText();
        break;
      case Change::ItemAdded:
        AddLine(index);
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  void ApplyText() override {
    TStrings* lines = memo()->Lines;
    QStringList list;
    list.reserve(lines->Count);
    for (int i = 0; i < lines->Count; ++i) list << Q(lines->Strings[i]);
    QString text = list.join(u'\n');
    // The list drops one line end at the very end: what the user typed may keep it.
    QString shown = text_->toPlainText();
    if (shown.endsWith(u'\n')) shown.chop(1);
    if (shown != text) {
      text_->setPlainText(text);
      ScrollToEnd();
    }
    shown_lines_ = lines->Count;
  }
  void ApplyStyle() override {
    TCustomMemo* m = this->memo();
    text_->setReadOnly(m->ReadOnly);
    text_->setLineWrapMode(m->WordWrap() && m->ScrollBars != ssHorizontal && m->ScrollBars != ssBoth
                               ? QPlainTextEdit::WidgetWidth
                               : QPlainTextEdit::NoWrap);
    TScrollStyle bars = m->ScrollBars;
    text_->setVerticalScrollBarPolicy(
        bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    text_->setHorizontalScrollBarPolicy(
        bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    text_->setTabChangesFocus(!m->WantTabs);
    text_->setFrameShape(m->BorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

 private:
  // A line added at the end (a log) is appended without rebuilding the text.
  void AddLine(int index) {
    TStrings* lines = memo()->Lines;
    if (index != lines->Count - 1 || shown_lines_ != lines->Count - 1) {
      ApplyText();
      return;
    }
    QString line = Q(lines->Strings[index]);
    if (shown_lines_ == 0)
      text_->setPlainText(line);
    else
      text_->appendPlainText(line);
    shown_lines_ = lines->Count;
    ScrollToEnd();
  }
  // As the class library's memo does when a line is added: the caret goes to the end.
  void ScrollToEnd() {
    text_->moveCursor(QTextCursor::End);
    text_->ensureCursorVisible();
  }

  QPlainTextEdit* text_;
  int shown_lines_ = -1;
};

// ---- Combo boxes ----

class ComboMirror : public ControlMirror {
 public:
  ComboMirror(Registry& registry, TComboBox* combo) : ControlMirror(registry, combo) {
    combo_ = new QComboBox(registry.Find(combo->Parent())->container());
    combo_->setInsertPolicy(QComboBox::NoInsert);
    SetWidget(combo_);
    QObject::connect(combo_, &QComboBox::activated, link(), [this](int index) {
      TComboBox* c = this->combo();
      User([c, index] { input::Pick(c, index); }, Resync);
    });
  }
  TComboBox* combo() const { return static_cast<TComboBox*>(component()); }
  bool TextIsValue() const override { return true; }

  void ApplyAll() override {
    ApplyItems();
    ControlMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Items:
        ApplyItems();
        break;
      case Change::ItemAdded:
        if (index >= 0 && index < combo()->Items->Count && index <= combo_->count())
          combo_->insertItem(index, Q(combo()->Items->Strings[index]));
        else
          ApplyItems();
        break;
      case Change::ItemIndex:
        ApplySelection();
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  void ApplyText() override { ApplySelection(); }
  void ApplyStyle() override {
    bool editable = combo()->Style != csDropDownList;
    if (combo_->isEditable() != editable) {
      combo_->setEditable(editable);
      if (editable) {
        combo_->setCompleter(nullptr);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, link(),
                         [this](const QString& text) {
                           TComboBox* c = this->combo();
                           AnsiString typed = A(text);
                           User([c, typed] { input::Type(c, typed); }, Resync);
                         });
      }
      ApplySelection();
    }
    combo_->setMaxVisibleItems(std::max(1, combo()->DropDownCount()));
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

 private:
  void ApplyItems() {
    TStrings* items = combo()->Items;
    QStringList list;
    for (int i = 0; i < items->Count; ++i) list << Q(items->Strings[i]);
    QStringList shown;
    for (int i = 0; i < combo_->count(); ++i) shown << combo_->itemText(i);
    if (shown != list) {
      combo_->clear();
      combo_->addItems(list);
    }
    ApplySelection();
  }
  void ApplySelection() {
    TComboBox* c = this->combo();
    int index = c->ItemIndex;
    if (index >= combo_->count()) index = -1;
    if (combo_->currentIndex() != index) {
      QString typed = combo_->isEditable() ? combo_->lineEdit()->text() : QString();
      combo_->setCurrentIndex(index);
      if (combo_->isEditable()) combo_->lineEdit()->setText(typed);
    }
    if (combo_->isEditable()) SetLineText(combo_->lineEdit(), Q(c->Text));
  }

  static void Resync(Mirror& m) {
    if (auto* self = dynamic_cast<ComboMirror*>(&m)) self->ApplySelection();
  }

  QComboBox* combo_;
};

// ---- Buttons and check boxes ----

class ButtonMirror : public ControlMirror {
 public:
  ButtonMirror(Registry& registry, TButton* button) : ControlMirror(registry, button) {
    button_ = new QPushButton(registry.Find(button->Parent())->container());
    button_->setAutoDefault(false);
    SetWidget(button_);
    QObject::connect(button_, &QPushButton::clicked, link(), [this] { UserClick(); });
  }

 protected:
  void ApplyText() override { button_->setText(Q(control()->Caption)); }
  void ApplyStyle() override { button_->setDefault(static_cast<TButton*>(control())->Default()); }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  QPushButton* button_;
};

class CheckBoxMirror : public ControlMirror {
 public:
  CheckBoxMirror(Registry& registry, TCheckBox* check) : ControlMirror(registry, check) {
    check_ = new Obedient<QCheckBox>(registry.Find(check->Parent())->container());
    SetWidget(check_);
    QObject::connect(check_, &QCheckBox::clicked, link(), [this] {
      TCheckBox* c = this->check();
      User([c] { input::Click(c); },
           [](Mirror& m) {
             if (auto* self = dynamic_cast<CheckBoxMirror*>(&m)) self->ApplyState();
           });
    });
  }
  TCheckBox* check() const { return static_cast<TCheckBox*>(component()); }
  void Apply(Change what, int index) override {
    if (what == Change::Checked)
      ApplyState();
    else
      ControlMirror::Apply(what, index);
  }

 protected:
  void ApplyText() override { check_->setText(Q(check()->Caption)); }
  void ApplyStyle() override {
    // The box on the right of its text with taLeftJustify.
    check_->setLayoutDirection(check()->Alignment == taLeftJustify ? Qt::RightToLeft
                                                                   : Qt::LeftToRight);
    ApplyState();
  }
  bool FillsBackground() const override { return true; }

 private:
  void ApplyState() {
    TCheckBoxState state = check()->State;
    check_->setTristate(check()->AllowGrayed || state == cbGrayed);
    check_->setCheckState(state == cbChecked  ? Qt::Checked
                          : state == cbGrayed ? Qt::PartiallyChecked
                                              : Qt::Unchecked);
  }
  QCheckBox* check_;
};

// ---- Group boxes and radio groups ----

class GroupBoxMirror : public ControlMirror {
 public:
  GroupBoxMirror(Registry& registry, TCustomGroupBox* group) : ControlMirror(registry, group) {
    group_ = new QGroupBox(registry.Find(group->Parent())->container());
    SetWidget(group_);
  }

 protected:
  void ApplyText() override { group_->setTitle(Q(control()->Caption)); }
  bool FillsBackground() const override { return true; }
  QGroupBox* group_;
};

class RadioGroupMirror : public GroupBoxMirror {
 public:
  RadioGroupMirror(Registry& registry, TRadioGroup* group) : GroupBoxMirror(registry, group) {}
  TRadioGroup* radio() const { return static_cast<TRadioGroup*>(component()); }

  void ApplyAll() override {
    ApplyItems();
    GroupBoxMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Items:
      case Change::ItemAdded:
        ApplyItems();
        break;
      case Change::ItemIndex:
        ApplyIndex();
        break;
      case Change::Bounds:
      case Change::Font:
      case Change::Style:
        GroupBoxMirror::Apply(what, index);
        Arrange();
        break;
      default:
        GroupBoxMirror::Apply(what, index);
        break;
    }
  }

 private:
  void ApplyItems() {
    for (QRadioButton* b : buttons_) {
      b->hide();
      registry().Dispose(b);
    }
    buttons_.clear();
    TStrings* items = radio()->Items;
    for (int i = 0; i < items->Count; ++i) {
      auto* b = new Obedient<QRadioButton>(Q(items->Strings[i]), group_);
      QObject::connect(b, &QRadioButton::clicked, link(), [this, i] {
        TRadioGroup* g = radio();
        User([g, i] { input::Pick(g, i); },
             [](Mirror& m) {
               if (auto* self = dynamic_cast<RadioGroupMirror*>(&m)) self->ApplyIndex();
             });
      });
      b->show();
      buttons_.push_back(b);
    }
    Arrange();
    ApplyIndex();
  }
  void ApplyIndex() {
    // Exclusive buttons (which screen readers announce as radio buttons) refuse to be all
    // off; -1 needs them loose for a moment.
    int index = radio()->ItemIndex;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
      buttons_[i]->setAutoExclusive(false);
      buttons_[i]->setChecked(static_cast<int>(i) == index);
    }
    for (QRadioButton* b : buttons_) b->setAutoExclusive(true);
  }
  // The items fill the columns top to bottom, evenly spaced below the caption.
  void Arrange() {
    if (buttons_.empty()) return;
    int count = static_cast<int>(buttons_.size());
    int columns = std::max(1, std::min(radio()->Columns(), count));
    int rows = (count + columns - 1) / columns;
    int caption = QFontMetrics(group_->font()).height();
    int width = radio()->Width, height = radio()->Height;
    int column_width = std::max(1, (width - 10) / columns);
    int room = std::max(rows, height - caption - 5);
    int row_height = room / rows;
    int top = caption + 1 + (room % rows) / 2;
    for (int i = 0; i < count; ++i) {
      int column = i / rows, row = i % rows;
      buttons_[static_cast<std::size_t>(i)]->setGeometry(
          8 + column * column_width, top + row * row_height, column_width - 2, row_height);
    }
  }

  std::vector<QRadioButton*> buttons_;
};

// ---- Static texts, panels, bevels, images ----

class StaticTextMirror : public ControlMirror {
 public:
  StaticTextMirror(Registry& registry, TStaticText* text) : ControlMirror(registry, text) {
    label_ = new Clickable<QLabel>(registry.Find(text->Parent())->container());
    label_->setTextFormat(Qt::PlainText);
    label_->on_click = [this] { UserClick(); };
    SetWidget(label_);
  }
  TStaticText* text() const { return static_cast<TStaticText*>(component()); }

 protected:
  void ApplyText() override {
    QString caption = Q(text()->Caption);
    label_->setText(text()->ShowAccelChar ? PlainCaption(caption) : caption);
  }
  void ApplyStyle() override {
    label_->setAlignment(HorizontalAlignment(text()->Alignment) | Qt::AlignTop);
    switch (text()->BorderStyle()) {
      case sbsSingle:
        label_->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
      case sbsSunken:
        label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
      default:
        label_->setFrameStyle(QFrame::NoFrame);
        break;
    }
  }
  bool FillsBackground() const override { return true; }

 private:
  Clickable<QLabel>* label_;
};

class PanelMirror : public ControlMirror {
 public:
  PanelMirror(Registry& registry, TPanel* panel) : ControlMirror(registry, panel) {
    panel_ = new PanelWidget(registry.Find(panel->Parent())->container());
    ReportClicks(panel_, this);
    SetWidget(panel_);
  }
  TPanel* panel() const { return static_cast<TPanel*>(component()); }

 protected:
  void ApplyText() override {
    panel_->caption = Q(panel()->Caption);
    panel_->update();
  }
  void ApplyStyle() override {
    TPanel* p = panel();
    panel_->outer = p->BevelOuter;
    panel_->inner = p->BevelInner;
    panel_->bevel_width = p->BevelWidth;
    panel_->border_width = p->BorderWidth;
    panel_->single_border = p->BorderStyle == bsSingle;
    panel_->alignment = p->Alignment;
    panel_->update();
  }
  bool FillsBackground() const override { return true; }

 private:
  PanelWidget* panel_;
};

class BevelMirror : public ControlMirror {
 public:
  BevelMirror(Registry& registry, TBevel* bevel) : ControlMirror(registry, bevel) {
    bevel_ = new BevelWidget(registry.Find(bevel->Parent())->container());
    bevel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetWidget(bevel_);
  }

 protected:
  void ApplyStyle() override {
    auto* b = static_cast<TBevel*>(control());
    bevel_->shape = b->Shape;
    bevel_->raised = b->Style == bsRaised;
    bevel_->update();
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  BevelWidget* bevel_;
};

class ImageMirror : public ControlMirror {
 public:
  ImageMirror(Registry& registry, TImage* image) : ControlMirror(registry, image) {
    image_ = new ImageWidget(registry.Find(image->Parent())->container());
    ReportClicks(image_, this);
    SetWidget(image_);
  }
  TImage* image() const { return static_cast<TImage*>(component()); }
  void ApplyAll() override {
    ApplyPicture();
    ControlMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    if (what == Change::Picture)
      ApplyPicture();
    else
      ControlMirror::Apply(what, index);
  }

 protected:
  void ApplyStyle() override {
    image_->stretch = image()->Stretch;
    image_->center = image()->Center;
    image_->proportional = image()->Proportional;
    image_->update();
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  void ApplyPicture() {
    image_->image = ImageOf(image()->Picture->Graphic());
    image_->update();
  }
  ImageWidget* image_;
};

// ---- Speed buttons ----

class SpeedButtonMirror : public ControlMirror {
 public:
  SpeedButtonMirror(Registry& registry, TSpeedButton* button) : ControlMirror(registry, button) {
    button_ = new Obedient<QToolButton>(registry.Find(button->Parent())->container());
    // A speed button never takes the focus: clicking it leaves the focus where it was.
    button_->setFocusPolicy(Qt::NoFocus);
    SetWidget(button_);
    QObject::connect(button_, &QToolButton::clicked, link(), [this] {
      TSpeedButton* b = this->speed();
      User([b] { input::Click(b); },
           [](Mirror& m) {
             if (auto* self = dynamic_cast<SpeedButtonMirror*>(&m)) self->ApplyDown();
           });
    });
  }
  TSpeedButton* speed() const { return static_cast<TSpeedButton*>(component()); }
  void ApplyAll() override {
    ApplyGlyph();
    ControlMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Checked:
        ApplyDown();
        break;
      case Change::Picture:
        ApplyGlyph();
        ApplyStyle();
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  void ApplyText() override {
    button_->setText(Q(speed()->Caption));
    ApplyStyle();
  }
  void ApplyStyle() override {
    TSpeedButton* b = this->speed();
    button_->setAutoRaise(b->Flat);
    bool glyph = !button_->icon().isNull();
    bool text = !b->Caption().IsEmpty();
    if (glyph && text)
      button_->setToolButtonStyle(b->Layout == blGlyphTop || b->Layout == blGlyphBottom
                                      ? Qt::ToolButtonTextUnderIcon
                                      : Qt::ToolButtonTextBesideIcon);
    else
      button_->setToolButtonStyle(glyph ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    ApplyDown();
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  void ApplyDown() {
    TSpeedButton* b = this->speed();
    button_->setCheckable(b->GroupIndex != 0 || b->Down);
    button_->setChecked(b->Down);
  }
  // The first of the glyph's images (up, disabled, clicked, down side by side).
  void ApplyGlyph() {
    QImage image = ImageOf(speed()->Glyph->Graphic());
    int parts = std::max(1, speed()->NumGlyphs());
    if (!image.isNull() && parts > 1)
      image = image.copy(0, 0, image.width() / parts, image.height());
    button_->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    if (!image.isNull()) button_->setIconSize(image.size());
  }
  QToolButton* button_;
};

}  // namespace

// ---- Labels ----

LabelMirror::LabelMirror(Registry& registry, TLabel* label) : ControlMirror(registry, label) {
  label_widget_ = new Clickable<QLabel>(registry.Find(label->Parent())->container());
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
  if (TCustomForm* form = l->ParentForm()) registry().LabelsLater(form);
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
  return dynamic_cast<ControlMirror*>(registry().MirrorOfWidget(tied_widget_));
}

std::unique_ptr<Mirror> CreateStdMirror(Registry& registry, TComponent* component) {
  auto* control = dynamic_cast<TControl*>(component);
  if (!control) return nullptr;
  if (auto* c = dynamic_cast<TLabel*>(control)) return std::make_unique<LabelMirror>(registry, c);
  if (auto* c = dynamic_cast<TCustomMemo*>(control))
    return std::make_unique<MemoMirror>(registry, c);
  if (auto* c = dynamic_cast<TCustomEdit*>(control))
    return std::make_unique<EditMirror>(registry, c);
  if (auto* c = dynamic_cast<TComboBox*>(control))
    return std::make_unique<ComboMirror>(registry, c);
  if (auto* c = dynamic_cast<TButton*>(control)) return std::make_unique<ButtonMirror>(registry, c);
  if (auto* c = dynamic_cast<TCheckBox*>(control))
    return std::make_unique<CheckBoxMirror>(registry, c);
  if (auto* c = dynamic_cast<TRadioGroup*>(control))
    return std::make_unique<RadioGroupMirror>(registry, c);
  if (auto* c = dynamic_cast<TCustomGroupBox*>(control))
    return std::make_unique<GroupBoxMirror>(registry, c);
  if (auto* c = dynamic_cast<TStaticText*>(control))
    return std::make_unique<StaticTextMirror>(registry, c);
  if (auto* c = dynamic_cast<TPanel*>(control)) return std::make_unique<PanelMirror>(registry, c);
  if (auto* c = dynamic_cast<TBevel*>(control)) return std::make_unique<BevelMirror>(registry, c);
  if (auto* c = dynamic_cast<TImage*>(control)) return std::make_unique<ImageMirror>(registry, c);
  if (auto* c = dynamic_cast<TSpeedButton*>(control))
    return std::make_unique<SpeedButtonMirror>(registry, c);
  return std::make_unique<GenericMirror>(registry, control);
}

}  // namespace vcl::qt::detail
