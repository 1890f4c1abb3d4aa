// Common controls: track bars, progress bars, status bars, tool bars and their buttons, page
// controls and tab sheets, string grids, spin edits.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <vector>

#include "comctrl_widgets.h"
#include "mirror.h"
#include "qt_text.h"
#include "vcl/comctrls.h"
#include "vcl/grids.h"
#include "vcl/spin.h"
#include "widgets.h"

namespace vcl::qt::detail {
namespace {

// Where the sheets of a page control go: inside its frame, below the tabs.
constexpr int kSheetLeft = 4;
constexpr int kSheetTop = 24;

QWidget* ParentContainer(Book& book, TControl* control) {
  return book.Find(control->Parent())->container();
}

// ---- Track bars and progress bars ----

class TrackBarMirror : public ControlMirror {
 public:
  TrackBarMirror(Book& book, TTrackBar* bar) : ControlMirror(book, bar) {
    slider_ = new QSlider(ParentContainer(book, bar));
    SetWidget(slider_);
    QObject::connect(slider_, &QSlider::valueChanged, link(), [this](int value) {
      TTrackBar* b = this->bar();
      User([b, value] { input::Move(b, value); }, Resync);
    });
  }
  TTrackBar* bar() const { return static_cast<TTrackBar*>(component()); }
  bool TextIsValue() const override { return true; }
  void ApplyAll() override {
    ApplyRange();
    ControlMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Position:
        slider_->setValue(bar()->Position);
        break;
      case Change::Range:
        ApplyRange();
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  void ApplyStyle() override {
    TTrackBar* b = bar();
    bool vertical = b->Orientation == trVertical;
    slider_->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // The minimum is at the top of a vertical track bar.
    slider_->setInvertedAppearance(vertical);
    slider_->setInvertedControls(vertical);
    QSlider::TickPosition ticks = QSlider::NoTicks;
    if (b->TickStyle != tsNone) {
      switch (b->TickMarks()) {
        case tmBottomRight:
          ticks = QSlider::TicksBelow;
          break;
        case tmTopLeft:
          ticks = QSlider::TicksAbove;
          break;
        case tmBoth:
          ticks = QSlider::TicksBothSides;
          break;
      }
    }
    slider_->setTickPosition(ticks);
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  void ApplyRange() {
    TTrackBar* b = bar();
    slider_->setRange(b->Min, b->Max);
    slider_->setTickInterval(std::max(1, b->Frequency()));
    slider_->setSingleStep(std::max(1, b->LineSize()));
    slider_->setPageStep(std::max(1, b->PageSize()));
    slider_->setValue(b->Position);
  }
  static void Resync(Mirror& m) {
    if (auto* self = dynamic_cast<TrackBarMirror*>(&m)) self->ApplyRange();
  }
  QSlider* slider_;
};

class ProgressBarMirror : public ControlMirror {
 public:
  ProgressBarMirror(Book& book, TProgressBar* bar) : ControlMirror(book, bar) {
    progress_ = new QProgressBar(ParentContainer(book, bar));
    progress_->setTextVisible(false);
    SetWidget(progress_);
  }
  TProgressBar* bar() const { return static_cast<TProgressBar*>(component()); }
  bool TextIsValue() const override { return true; }
  void Apply(Change what, int index) override {
    if (what == Change::Position || what == Change::Range)
      ApplyStyle();
    else
      ControlMirror::Apply(what, index);
  }

 protected:
  void ApplyStyle() override {
    TProgressBar* b = bar();
    progress_->setOrientation(b->Orientation == pbVertical ? Qt::Vertical : Qt::Horizontal);
    progress_->setRange(b->Min, std::max<int>(b->Min, b->Max));
    progress_->setValue(b->Position);
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  QProgressBar* progress_;
};

// ---- Status bars ----

class StatusBarMirror : public ControlMirror {
 public:
  StatusBarMirror(Book& book, TStatusBar* bar) : ControlMirror(book, bar) {
    bar_ = new StatusBarWidget(ParentContainer(book, bar));
    SetWidget(bar_);
  }
  TStatusBar* bar() const { return static_cast<TStatusBar*>(component()); }
  void ApplyAll() override {
    ControlMirror::ApplyAll();
    ApplyPanels(-1);
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Panels:
        ApplyPanels(index);
        break;
      case Change::Bounds:
        ControlMirror::Apply(what, index);
        Arrange();
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  bool FillsBackground() const override { return true; }

 private:
  QLabel* NewLabel() {
    auto* label = new QLabel(bar_);
    label->setTextFormat(Qt::PlainText);
    label->show();
    return label;
  }
  void ApplyPanels(int index) {
    TStatusBar* b = bar();
    if (b->SimplePanel) {
      for (QLabel* l : labels_) l->hide();
      if (!simple_) simple_ = NewLabel();
      simple_->setText(Q(b->SimpleText));
      simple_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      simple_->show();
      Arrange();
      return;
    }
    if (simple_) simple_->hide();
    int count = b->Panels->Count;
    while (static_cast<int>(labels_.size()) > count) {
      QLabel* l = labels_.back();
      labels_.pop_back();
      l->hide();
      book().Dispose(l);
    }
    while (static_cast<int>(labels_.size()) < count) labels_.push_back(NewLabel());
    for (int i = 0; i < count; ++i) {
      if (index >= 0 && i != index) continue;
      TStatusPanel* panel = b->Panels->Items[i];
      QLabel* l = labels_[static_cast<std::size_t>(i)];
      l->setText(Q(panel->Text));
      l->setAlignment((panel->Alignment == taRightJustify ? Qt::AlignRight
                       : panel->Alignment == taCenter     ? Qt::AlignHCenter
                                                          : Qt::AlignLeft) |
                      Qt::AlignVCenter);
      switch (panel->Bevel()) {
        case pbNone:
          l->setFrameStyle(QFrame::NoFrame);
          break;
        case pbRaised:
          l->setFrameStyle(QFrame::Panel | QFrame::Raised);
          break;
        default:
          l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          break;
      }
      l->show();
    }
    Arrange();
  }
  // Each panel as wide as its Width, the last one up to the right end.
  void Arrange() {
    int width = bar()->Width, height = bar()->Height;
    if (bar()->SimplePanel) {
      if (simple_) simple_->setGeometry(0, 2, width, height - 2);
      return;
    }
    int x = 0;
    TStatusPanels* panels = bar()->Panels;
    for (std::size_t i = 0; i < labels_.size() && static_cast<int>(i) < panels->Count; ++i) {
      bool last = i + 1 == labels_.size();
      int w = last ? std::max(0, width - x) : panels->Items[static_cast<int>(i)]->Width();
      labels_[i]->setGeometry(x, 2, std::max(0, w - 2), std::max(0, height - 2));
      x += w;
    }
  }

  StatusBarWidget* bar_;
  std::vector<QLabel*> labels_;
  QLabel* simple_ = nullptr;
};

// ---- Tool bars and tool buttons ----

class ToolBarMirror : public ControlMirror {
 public:
  ToolBarMirror(Book& book, TToolBar* bar) : ControlMirror(book, bar) {
    SetWidget(new ToolBarWidget(ParentContainer(book, bar)));
  }
  TToolBar* bar() const { return static_cast<TToolBar*>(component()); }

 protected:
  void ApplyStyle() override {
    // Flat and ShowCaptions show on the buttons.
    TToolBar* b = bar();
    for (int i = 0; i < b->ControlCount; ++i)
      if (auto* m = book().FindAs<ControlMirror>(b->Controls[i])) m->Apply(Change::Style, -1);
  }
  bool FillsBackground() const override { return true; }
};

class ToolButtonMirror : public ControlMirror {
 public:
  ToolButtonMirror(Book& book, TToolButton* button) : ControlMirror(book, button) { Build(); }
  TToolButton* tool() const { return static_cast<TToolButton*>(component()); }
  // A tool bar that shows captions makes its buttons wide enough for them.
  QRect Geometry() const override {
    QRect rect = ControlMirror::Geometry();
    auto* bar = dynamic_cast<TToolBar*>(tool()->Parent());
    if (button_ && bar && bar->ShowCaptions)
      rect.setWidth(std::max(rect.width(), button_->sizeHint().width()));
    return rect;
  }
  void Apply(Change what, int index) override {
    if (what == Change::Checked)
      ApplyDown();
    else
      ControlMirror::Apply(what, index);
  }

 protected:
  void ApplyText() override {
    if (!button_) return;
    button_->setText(Q(tool()->Caption));
    ApplyBounds();
  }
  void ApplyStyle() override {
    bool separator = IsSeparator();
    if (separator != (button_ == nullptr)) {
      Build();
      ApplyAll();
      return;
    }
    auto* bar = dynamic_cast<TToolBar*>(tool()->Parent());
    if (separator) {
      static_cast<SeparatorWidget*>(widget())->line =
          tool()->Style == tbsDivider || (bar && bar->Flat);
      widget()->update();
      return;
    }
    button_->setAutoRaise(bar && bar->Flat);
    button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ApplyDown();
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::NoRole; }

 private:
  bool IsSeparator() const { return tool()->Style == tbsSeparator || tool()->Style == tbsDivider; }
  void Build() {
    QWidget* parent = ParentContainer(book(), tool());
    if (IsSeparator()) {
      button_ = nullptr;
      SetWidget(new SeparatorWidget(parent));
      return;
    }
    button_ = new Obedient<QToolButton>(parent);
    button_->setFocusPolicy(Qt::NoFocus);
    SetWidget(button_);
    QObject::connect(button_, &QToolButton::clicked, link(), [this] {
      TToolButton* b = tool();
      User([b] { input::Click(b); },
           [](Mirror& m) {
             if (auto* self = dynamic_cast<ToolButtonMirror*>(&m)) self->ApplyDown();
           });
    });
  }
  void ApplyDown() {
    if (!button_) return;
    button_->setCheckable(tool()->Style == tbsCheck || tool()->Down);
    button_->setChecked(tool()->Down);
  }
  QToolButton* button_ = nullptr;
};

// ---- Page controls and tab sheets ----

class TabSheetMirror : public ControlMirror {
 public:
  TabSheetMirror(Book& book, TTabSheet* sheet) : ControlMirror(book, sheet) {
    SetWidget(new QWidget(ParentContainer(book, sheet)));
  }
  TTabSheet* sheet() const { return static_cast<TTabSheet*>(component()); }
  // A sheet fills its page control below the tabs (the library's client area of the page
  // control) when the library has not sized it.
  QRect Geometry() const override {
    QRect rect = ControlMirror::Geometry();
    TPageControl* pages = sheet()->PageControl();
    if ((rect.width() > 0 && rect.height() > 0) || !pages) return rect;
    return QRect(kSheetLeft, kSheetTop, std::max(0, pages->Width - 2 * kSheetLeft),
                 std::max(0, pages->Height - kSheetTop - kSheetLeft));
  }
  void ApplyVisible() override {
    TPageControl* pages = sheet()->PageControl();
    widget()->setVisible(sheet()->Visible && pages && pages->ActivePage() == sheet());
  }
  void Apply(Change what, int index) override;

 protected:
  bool FillsBackground() const override { return true; }
};

class PageControlMirror : public ControlMirror {
 public:
  PageControlMirror(Book& book, TPageControl* pages) : ControlMirror(book, pages) {
    page_ = new PageControlWidget(ParentContainer(book, pages));
    SetWidget(page_);
    QObject::connect(page_->tabs, &QTabBar::currentChanged, link(), [this](int index) {
      TPageControl* p = this->pages();
      if (index < 0) return;
      User([p, index] { input::Pick(p, index); }, Resync);
    });
  }
  TPageControl* pages() const { return static_cast<TPageControl*>(component()); }
  void ApplyAll() override {
    ControlMirror::ApplyAll();
    ApplyTabs();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::ActivePage:
        ApplyTabs();
        break;
      case Change::Bounds: {
        ControlMirror::Apply(what, index);
        page_->Arrange();
        TPageControl* p = pages();
        for (int i = 0; i < p->PageCount; ++i)
          if (auto* m = book().FindAs<ControlMirror>(p->Pages[i])) m->Apply(Change::Bounds, -1);
        break;
      }
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }
  void ChildAdded(Mirror*) override { ApplyTabs(); }
  void ChildRemoved(Mirror*) override {
    // The sheet is on its way out: read the pages once it is gone.
    QTimer::singleShot(0, link(), [this] {
      Book::Echo echo(book());
      ApplyTabs();
    });
  }
  // Tabs for the pages, the active one current, only the active sheet showing.
  void ApplyTabs() {
    TPageControl* p = pages();
    QTabBar* tabs = page_->tabs;
    int count = p->PageCount;
    while (tabs->count() > count) tabs->removeTab(tabs->count() - 1);
    while (tabs->count() < count) tabs->addTab(QString());
    for (int i = 0; i < count; ++i) {
      TTabSheet* sheet = p->Pages[i];
      tabs->setTabText(i, Q(sheet->Caption));
      tabs->setTabVisible(i, sheet->TabVisible);
      if (auto* m = book().FindAs<TabSheetMirror>(sheet)) m->ApplyVisible();
    }
    TTabSheet* active = p->ActivePage;
    int index = active ? active->PageIndex : -1;
    if (tabs->currentIndex() != index) tabs->setCurrentIndex(index);
  }

 protected:
  bool FillsBackground() const override { return true; }

 private:
  static void Resync(Mirror& m) {
    if (auto* self = dynamic_cast<PageControlMirror*>(&m)) self->ApplyTabs();
  }
  PageControlWidget* page_;
};

void TabSheetMirror::Apply(Change what, int index) {
  ControlMirror::Apply(what, index);
  // The caption and TabVisible show on the page control's tab.
  if (what == Change::Text || what == Change::Visible)
    if (auto* pages = book().FindAs<PageControlMirror>(sheet()->PageControl())) pages->ApplyTabs();
}

// ---- String grids ----

class GridMirror : public ControlMirror {
 public:
  GridMirror(Book& book, TStringGrid* grid) : ControlMirror(book, grid) {
    table_ = new QTableWidget(ParentContainer(book, grid));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setMinimumSectionSize(1);
    table_->verticalHeader()->setMinimumSectionSize(1);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    SetWidget(table_);
    QObject::connect(table_, &QTableWidget::itemChanged, link(), [this](QTableWidgetItem* item) {
      if (this->book().Mirroring()) return;
      TStringGrid* g = this->grid();
      int col = item->column(), row = item->row();
      AnsiString text = A(item->text());
      User([g, col, row, text] { input::EditCell(g, col, row, text); },
           [col, row](Mirror& m) {
             if (auto* self = dynamic_cast<GridMirror*>(&m)) self->ApplyCell(col, row);
           });
    });
  }
  TStringGrid* grid() const { return static_cast<TStringGrid*>(component()); }
  bool TextIsValue() const override { return true; }
  void ApplyAll() override {
    ApplyCells();
    ControlMirror::ApplyAll();
  }
  void Apply(Change what, int index) override {
    switch (what) {
      case Change::Cells:
        if (index >= 0 && grid()->ColCount > 0)
          ApplyCell(index % grid()->ColCount, index / grid()->ColCount);
        else
          ApplyCells();
        break;
      case Change::Focus:
        ApplyCurrent();
        break;
      default:
        ControlMirror::Apply(what, index);
        break;
    }
  }

 protected:
  void ApplyStyle() override {
    TGridOptions options = grid()->Options;
    table_->setShowGrid(options.Contains(goVertLine) || options.Contains(goHorzLine));
    table_->setSelectionBehavior(options.Contains(goRowSelect) ? QAbstractItemView::SelectRows
                                                               : QAbstractItemView::SelectItems);
    QAbstractItemView::EditTriggers triggers = QAbstractItemView::NoEditTriggers;
    if (options.Contains(goEditing))
      triggers = QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                 QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked;
    table_->setEditTriggers(triggers);
    TScrollStyle bars = grid()->ScrollBars;
    table_->setHorizontalScrollBarPolicy(
        bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(
        bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    ApplyCells();
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

 private:
  void ApplyCells() {
    Book::Echo echo(book());
    TStringGrid* g = grid();
    int cols = g->ColCount, rows = g->RowCount;
    table_->setColumnCount(cols);
    table_->setRowCount(rows);
    for (int c = 0; c < cols; ++c) table_->setColumnWidth(c, g->ColWidths[c]);
    for (int r = 0; r < rows; ++r) table_->setRowHeight(r, g->RowHeights[r]);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) ApplyCell(c, r);
    ApplyCurrent();
  }
  void ApplyCell(int col, int row) {
    Book::Echo echo(book());
    TStringGrid* g = grid();
    if (col < 0 || row < 0 || col >= table_->columnCount() || row >= table_->rowCount()) return;
    QTableWidgetItem* item = table_->item(row, col);
    if (!item) {
      item = new QTableWidgetItem;
      table_->setItem(row, col, item);
    }
    QString text = Q(g->Cells[col][row]);
    if (item->text() != text) item->setText(text);
    bool fixed = col < g->FixedCols || row < g->FixedRows;
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (!fixed) flags |= Qt::ItemIsSelectable;
    if (!fixed && g->Options().Contains(goEditing)) flags |= Qt::ItemIsEditable;
    if (item->flags() != flags) item->setFlags(flags);
    QBrush background = fixed ? QBrush(ColorOf(g->FixedColor)) : QBrush();
    if (item->background() != background) item->setBackground(background);
  }
  void ApplyCurrent() {
    TStringGrid* g = grid();
    if (g->Row < table_->rowCount() && g->Col < table_->columnCount())
      table_->setCurrentCell(g->Row, g->Col);
  }
  QTableWidget* table_;
};

// ---- Spin edits ----

class SpinEditMirror : public ControlMirror {
 public:
  SpinEditMirror(Book& book, TCSpinEdit* spin) : ControlMirror(book, spin) {
    box_ = new SpinWidget(ParentContainer(book, spin));
    SetWidget(box_);
    box_->on_step = [this](int steps) {
      TCSpinEdit* s = this->spin();
      int direction = steps > 0 ? 1 : -1;
      int count = std::abs(steps);
      User(
          [s, direction, count] {
            for (int i = 0; i < count; ++i) input::Spin(s, direction);
          },
          Resync);
    };
    // Typing or any other change the library did not make (changes mirrored are echoes).
    QObject::connect(box_->Edit(), &QLineEdit::textChanged, link(), [this](const QString& text) {
      TCSpinEdit* s = this->spin();
      AnsiString typed = A(text);
      User([s, typed] { input::Type(s, typed); }, Resync);
    });
  }
  TCSpinEdit* spin() const { return static_cast<TCSpinEdit*>(component()); }
  bool TextIsValue() const override { return true; }
  void Apply(Change what, int index) override {
    if (what == Change::Range)
      ApplyText();
    else
      ControlMirror::Apply(what, index);
  }

 protected:
  void ApplyText() override { SetLineText(box_->Edit(), Q(spin()->Text)); }
  void ApplyStyle() override {
    TCSpinEdit* s = spin();
    box_->setReadOnly(s->ReadOnly);
    box_->Edit()->setReadOnly(s->ReadOnly || !s->EditorEnabled);
    box_->setFrame(s->BorderStyle != bsNone);
  }
  QPalette::ColorRole BackgroundRole() const override { return QPalette::Base; }

 private:
  static void Resync(Mirror& m) {
    if (auto* self = dynamic_cast<SpinEditMirror*>(&m)) self->ApplyText();
  }
  SpinWidget* box_;
};

}  // namespace

std::span<const MirrorBinding> ComCtrlBindings() {
  static const MirrorBinding bindings[] = {
      Bind<TCSpinEdit, SpinEditMirror>(),      Bind<TTrackBar, TrackBarMirror>(),
      Bind<TProgressBar, ProgressBarMirror>(), Bind<TStatusBar, StatusBarMirror>(),
      Bind<TToolBar, ToolBarMirror>(),         Bind<TToolButton, ToolButtonMirror>(),
      Bind<TPageControl, PageControlMirror>(), Bind<TTabSheet, TabSheetMirror>(),
      Bind<TStringGrid, GridMirror>(),
  };
  return bindings;
}

}  // namespace vcl::qt::detail
