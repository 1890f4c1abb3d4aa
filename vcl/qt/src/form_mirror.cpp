#include "form_mirror.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "menu_mirrors.h"
#include "qt_text.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

namespace vcl::qt::detail {

FormWindow::FormWindow(FormMirror* mirror) : QWidget(nullptr, Qt::Window), mirror_(mirror) {}

void FormWindow::closeEvent(QCloseEvent* event) {
  // Closing is the form's decision (OnCloseQuery, OnClose); it hides the window itself.
  event->ignore();
  if (mirror_) mirror_->CloseRequested();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (mirror_) mirror_->GeometryChanged();
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (mirror_) mirror_->GeometryChanged();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (mirror_ && mirror_->DefaultKey(event->key())) return;
  QWidget::keyPressEvent(event);
}

FormMirror::FormMirror(Book& book, TCustomForm* form) : ControlMirror(book, form) {
  window_ = new FormWindow(this);
  client_ = new QWidget(window_);
  client_->setObjectName(QStringLiteral("client"));
  client_->setAutoFillBackground(true);
  SetWidget(window_);
  book.AddWidget(client_, this);
}

FormMirror::~FormMirror() {
  window_->Detach();
  book().RemoveWidget(client_);
  // The menu bar belongs to the menu's mirror.
  if (menu_bar_) {
    menu_bar_->hide();
    menu_bar_->setParent(nullptr);
  }
}

void FormMirror::ApplyAll() {
  ApplyMenu();
  ControlMirror::ApplyAll();
}

void FormMirror::Apply(Change what, int index) {
  switch (what) {
    case Change::Bounds:
      Layout();
      break;
    case Change::Menu:
      ApplyMenu();
      break;
    case Change::ZOrder:
      // SendToBack of a form (index 0): behind the other windows. BringToFront or SetFocus:
      // to the front and active.
      if (window_->isVisible()) {
        if (index == 0) {
          window_->lower();
        } else {
          window_->raise();
          window_->activateWindow();
        }
      }
      break;
    case Change::Focus:
      ApplyFocus();
      break;
    default:
      ControlMirror::Apply(what, index);
      break;
  }
}

QString FormMirror::AccessibleName() const {
  return Q(form()->Caption);
}

int FormMirror::MenuHeight() const {
  if (!menu_bar_ || menu_bar_->isHidden()) return 0;
  return menu_bar_->heightForWidth(form()->ClientWidth) > 0
             ? menu_bar_->heightForWidth(form()->ClientWidth)
             : menu_bar_->sizeHint().height();
}

void FormMirror::Layout() {
  TCustomForm* f = form();
  int width = f->ClientWidth, height = f->ClientHeight;
  int menu = MenuHeight();
  if (menu_bar_) menu_bar_->setGeometry(0, 0, width, menu);
  client_->setGeometry(0, menu, width, height);
  TFormBorderStyle border = f->BorderStyle;
  bool sizeable = border == bsSizeable || border == bsSizeToolWin;
  if (sizeable) {
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(width, menu + height);
  } else {
    window_->setFixedSize(width, menu + height);
  }
  if (placed_)
    window_->move(*placed_);
  else if (shown_once_ || f->Position == poDesigned)
    window_->move(f->Left, f->Top);
}

void FormMirror::ApplyText() {
  window_->setWindowTitle(Q(form()->Caption));
}

void FormMirror::ApplyStyle() {
  TCustomForm* f = form();
  Qt::WindowFlags flags = Qt::Window;
  TBorderIcons icons = f->BorderIcons;
  switch (f->BorderStyle()) {
    case bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      flags = Qt::Tool;
      break;
    case bsDialog:
      flags = Qt::Dialog;
      break;
    default:
      break;
  }
  if (f->BorderStyle != bsNone) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (icons.Contains(biSystemMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    bool frame_icons = f->BorderStyle == bsSingle || f->BorderStyle == bsSizeable;
    if (frame_icons && icons.Contains(biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
    if (frame_icons && icons.Contains(biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
    if (icons.Contains(biHelp)) flags |= Qt::WindowContextHelpButtonHint;
  }
  if (f->FormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (window_->windowFlags() != flags) {
    bool visible = window_->isVisible();
    window_->setWindowFlags(flags);  // hides the window
    if (visible) window_->show();
  }
  Qt::WindowStates state = Qt::WindowNoState;
  if (f->WindowState == wsMaximized) state = Qt::WindowMaximized;
  if (f->WindowState == wsMinimized) state = Qt::WindowMinimized;
  if (window_->windowState() != state) window_->setWindowState(state);
  Layout();
}

void FormMirror::ApplyVisible() {
  if (form()->Visible)
    book().ShowLater(form());
  else
    window_->hide();
}

void FormMirror::ApplyColor() {
  QColor color = ColorOf(form()->Color);
  if (!color.isValid()) return;
  QPalette palette = client_->palette();
  palette.setColor(QPalette::Window, color);
  client_->setPalette(palette);
}

void FormMirror::ApplyFont() {
  // The form's font is its controls' font; the menu bar keeps the desktop's.
  client_->setFont(FontOf(*form()->Font));
}

void FormMirror::ApplyMenu() {
  QMenuBar* bar = nullptr;
  if (TMainMenu* menu = form()->Menu())
    if (auto* m = book().FindAs<MainMenuMirror>(menu)) bar = m->Bar();
  if (bar != menu_bar_) {
    if (menu_bar_) {
      menu_bar_->hide();
      menu_bar_->setParent(nullptr);
    }
    menu_bar_ = bar;
    if (bar) {
      bar->setParent(window_);
      bar->show();
    }
  }
  Layout();
}

void FormMirror::ApplyFocus() {
  TWinControl* active = form()->ActiveControl();
  if (!active) return;
  auto* m = book().FindAs<ControlMirror>(active);
  if (m && m->widget() && !m->widget()->hasFocus()) m->widget()->setFocus(Qt::OtherFocusReason);
}

void FormMirror::Place() {
  TCustomForm* f = form();
  QRect area;
  switch (f->Position()) {
    case poScreenCenter:
    case poDesktopCenter:
      if (QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
      break;
    case poMainFormCenter:
    case poOwnerFormCenter:
      if (Application && Application->MainForm() && Application->MainForm() != f)
        if (auto* main = book().FindAs<FormMirror>(Application->MainForm()))
          if (main->widget()->isVisible()) area = main->widget()->frameGeometry();
      if (area.isNull())
        if (QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
      break;
    default:
      return;
  }
  if (area.isNull()) return;
  placed_ =
      QPoint(area.x() + (area.width() - f->Width) / 2, area.y() + (area.height() - f->Height) / 2);
  window_->move(*placed_);
}

void FormMirror::ShowNow() {
  if (!form()->Visible) return;
  if (!shown_once_) {
    Place();
    shown_once_ = true;
  }
  if (form()->WindowState == wsMaximized)
    window_->showMaximized();
  else if (form()->WindowState == wsMinimized)
    window_->showMinimized();
  else
    window_->show();
  window_->raise();
  window_->activateWindow();
  ApplyFocus();
  // Where the window landed (centred, or moved by the window manager) reaches the form once
  // the loop runs.
  QTimer::singleShot(0, link(), [this] { GeometryChanged(); });
}

void FormMirror::CloseRequested() {
  TCustomForm* f = form();
  if (book().Holding()) {
    book().CloseLater(f);
    return;
  }
  User([f] { input::CloseRequest(f); });
}

void FormMirror::GeometryChanged() {
  if (!window_->isVisible() || book().Mirroring()) return;
  // A running handler holds the input: the form learns where its window went afterwards.
  if (book().Holding()) {
    QTimer::singleShot(kHeldRetryMs, link(), [this] { GeometryChanged(); });
    return;
  }
  TCustomForm* f = form();
  int width = window_->width();
  int height = window_->height() - MenuHeight();
  if (width != f->ClientWidth || height != f->ClientHeight)
    User([f, width, height] { input::Resize(f, width, height); });
  QPoint pos = window_->pos();
  if (pos.x() != f->Left || pos.y() != f->Top)
    User([f, pos] { input::Moved(f, pos.x(), pos.y()); });
  if (placed_ && f->Left == pos.x() && f->Top == pos.y()) placed_.reset();
  Layout();
}

namespace {

// The first button, in tab order of the form's tree, that Enter (Default) or Esc (Cancel)
// presses.
TButton* FindKeyButton(TWinControl* parent, bool want_default) {
  for (int i = 0; i < parent->ControlCount; ++i) {
    TControl* c = parent->Controls[i];
    if (auto* button = dynamic_cast<TButton*>(c)) {
      if ((want_default ? button->Default() : button->Cancel()) && button->Showing() &&
          button->Enabled())
        return button;
    } else if (auto* win = dynamic_cast<TWinControl*>(c)) {
      if (TButton* found = FindKeyButton(win, want_default)) return found;
    }
  }
  return nullptr;
}

}  // namespace

bool FormMirror::DefaultKey(int key) {
  bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!enter && key != Qt::Key_Escape) return false;
  TButton* button = FindKeyButton(form(), enter);
  if (!button) return false;
  User([button] { input::Click(button); });
  return true;
}

std::unique_ptr<Mirror> CreateFormMirror(Book& book, TCustomForm* form) {
  return std::make_unique<FormMirror>(book, form);
}

}  // namespace vcl::qt::detail
