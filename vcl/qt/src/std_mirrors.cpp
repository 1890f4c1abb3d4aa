// Standard controls (edits, memos, combo boxes, buttons, check boxes, group boxes, radio
// groups, static texts, panels, bevels, images, speed buttons) and plain containers.
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <utility>
#include <vector>

#include "label_mirror.h"
#include "mirror.h"
#include "qt_text.h"
#include "vcl/buttons.h"
#include "vcl/comctrls.h"
#include "vcl/extctrls.h"
#include "vcl/stdctrls.h"
#include "widgets.h"

namespace vcl::qt::detail {
namespace {

// ---- Plain containers and unknown kinds ----

class GenericMirror : public ControlMirror {
 public:
  GenericMirror(Book& book, TControl* control) : ControlMirror(book, control) {
    SetWidget(
        ReportClicks(new Clickable<QWidget>(book.Find(control->Parent())->container()), this));
  }

 protected:
  bool FillsBackground() const override { return !IsGraphic(); }
};

// ---- Edits ----

class EditMirror : public ControlMirror {
 public:
  EditMirror(Book& book, TCustomEdit* edit) : ControlMirror(book, edit) {
    edit_ = new QLineEdit(book.Find(edit->Parent())->container());
    SetWidget(edit_);
    // Any change the library did not make reaches the edit: typing, and also a screen reader
    // or desktop automation setting the text (changes being mirrored are echoes).
    QObject::connect(edit_, &QLineEdit::textChanged, link(), [this](const QString& text) {
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
  MemoMirror(Book& book, TCustomMemo* memo) : ControlMirror(book, memo) {
    text_ = new QPlainTextEdit(book.Find(memo->Parent())->container());
    SetWidget(text_);
    QObject::connect(text_, &QPlainTextEdit::textChanged, link(), [this] {
      if (this->book().Mirroring()) return;
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
  ComboMirror(Book& book, TComboBox* combo) : ControlMirror(book, combo) {
    combo_ = new QComboBox(book.Find(combo->Parent())->container());
    combo_->setInsertPolicy(QComboBox::NoInsert);
    SetWidget(combo_);
    QObject::connect(combo_, &QComboBox::activated, link(), [this](int index) {
      if (std::exchange(picked_, -1) == index) return;  // already told by the change below
      TComboBox* c = this->combo();
      User([c, index] { input::Pick(c, index); }, Resync);
    });
    // An item chosen other than by a click in the list (a screen reader, desktop automation)
    // comes as a change of the current item only.
    QObject::connect(combo_, &QComboBox::currentIndexChanged, link(), [this](int index) {
      TComboBox* c = this->combo();
      if (this->book().Mirroring() || index < 0 || index == c->ItemIndex) return;
      picked_ = index;
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
        QObject::connect(combo_->lineEdit(), &QLineEdit::textChanged, link(),
                         [this](const QString& text) {
                           // An item being chosen shows its text first: the choice follows.
                           if (combo_->currentIndex() != combo()->ItemIndex) return;
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
  // The item just reported by a change of the current item (-1: none), so that the click
  // which made that change is not reported twice.
  int picked_ = -1;
};

// ---- Buttons and check boxes ----

class ButtonMirror : public ControlMirror {
 public:
  ButtonMirror(Book& book, TButton* button) : ControlMirror(book, button) {
    button_ = new QPushButton(book.Find(button->Parent())->container());
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
  CheckBoxMirror(Book& book, TCheckBox* check) : ControlMirror(book, check) {
    check_ = new Obedient<QCheckBox>(book.Find(check->Parent())->container());
    SetWidget(check_);
    QObject::connect(check_, &QCheckBox::clicked, link(), [this] {
      TCheckBox* c = this->check();
      User([c] { input::Click(c); },
           [](Mirror& m) {
             if (auto* self = dynamic_cast<CheckBoxMirror*>(&m)) self->ApplyState();
           });
    });
    // A click leaves the box as it is (the library decides); a box toggled some other way (a
    // screen reader's toggle action) is a click on the control too.
    QObject::connect(check_, &QCheckBox::toggled, link(), [this](bool checked) {
      TCheckBox* c = this->check();
      if (checked == (c->State == cbChecked)) return;
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
  GroupBoxMirror(Book& book, TCustomGroupBox* group) : ControlMirror(book, group) {
    group_ = new QGroupBox(book.Find(group->Parent())->container());
    SetWidget(group_);
  }

 protected:
  void ApplyText() override { group_->setTitle(Q(control()->Caption)); }
  bool FillsBackground() const override { return true; }
  QGroupBox* group_;
};

class RadioGroupMirror : public GroupBoxMirror {
 public:
  RadioGroupMirror(Book& book, TRadioGroup* group) : GroupBoxMirror(book, group) {}
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
      book().Dispose(b);
    }
    buttons_.clear();
    TStrings* items = radio()->Items;
    for (int i = 0; i < items->Count; ++i) {
      auto* b = new Obedient<QRadioButton>(Q(items->Strings[i]), group_);
      // A click, or a button checked some other way (a screen reader), picks its item.
      auto pick = [this, i] {
        TRadioGroup* g = radio();
        User([g, i] { input::Pick(g, i); },
             [](Mirror& m) {
               if (auto* self = dynamic_cast<RadioGroupMirror*>(&m)) self->ApplyIndex();
             });
      };
      QObject::connect(b, &QRadioButton::clicked, link(), pick);
      QObject::connect(b, &QRadioButton::toggled, link(), [this, i, pick](bool checked) {
        if (checked && radio()->ItemIndex != i) pick();
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
  StaticTextMirror(Book& book, TStaticText* text) : ControlMirror(book, text) {
    label_ = new Clickable<QLabel>(book.Find(text->Parent())->container());
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
  PanelMirror(Book& book, TPanel* panel) : ControlMirror(book, panel) {
    panel_ = new PanelWidget(book.Find(panel->Parent())->container());
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
  BevelMirror(Book& book, TBevel* bevel) : ControlMirror(book, bevel) {
    bevel_ = new BevelWidget(book.Find(bevel->Parent())->container());
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
  ImageMirror(Book& book, TImage* image) : ControlMirror(book, image) {
    image_ = new ImageWidget(book.Find(image->Parent())->container());
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
  SpeedButtonMirror(Book& book, TSpeedButton* button) : ControlMirror(book, button) {
    button_ = new Obedient<QToolButton>(book.Find(button->Parent())->container());
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

std::unique_ptr<Mirror> CreateGenericMirror(Book& book, TControl* control) {
  return std::make_unique<GenericMirror>(book, control);
}

std::span<const MirrorBinding> StdBindings() {
  static const MirrorBinding bindings[] = {
      Bind<TLabel, LabelMirror>(),
      Bind<TEdit, EditMirror>(),
      Bind<TMemo, MemoMirror>(),
      Bind<TRichEdit, MemoMirror>(),
      Bind<TComboBox, ComboMirror>(),
      Bind<TButton, ButtonMirror>(),
      Bind<TCheckBox, CheckBoxMirror>(),
      Bind<TGroupBox, GroupBoxMirror>(),
      Bind<TRadioGroup, RadioGroupMirror>(),
      Bind<TStaticText, StaticTextMirror>(),
      Bind<TPanel, PanelMirror>(),
      Bind<TBevel, BevelMirror>(),
      Bind<TImage, ImageMirror>(),
      Bind<TSpeedButton, SpeedButtonMirror>(),
  };
  return bindings;
}

}  // namespace vcl::qt::detail
