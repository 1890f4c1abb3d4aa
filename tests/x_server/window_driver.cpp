// A test-only driver for the real program under Xvfb, loaded with LD_PRELOAD: the program itself
// knows nothing of it. When the Qt application starts, it reads the script named by
// TRAKMON_TEST_DRIVE and plays it as a user would, through the program's own widgets:
//
//   click NAME           a mouse click on the control NAME (or triggers the menu item NAME)
//   press NAME           clicks the control NAME the way the program's own code does, also where
//                        no user can reach it (e.g. Trakmon's hidden button that shows its modem
//                        window), through the widget set's forced click (vcl/qt_widgetset.h)
//   type NAME TEXT...    types TEXT over what the edit NAME holds (a line edit, or the edit of a
//                        combo box or spin edit); no TEXT clears it
//   type GRID[COL,ROW] TEXT...
//                        a double click on that cell of the string grid GRID, TEXT typed over
//                        what it holds, then Enter
//   answer BUTTON        waits for a message box and clicks its button (e.g. OK); logs its text.
//                        Also a button of another modal dialog (a folder or file dialog's
//                        "Отмена"); its title is logged then
//   file PATH            waits for an open-file dialog, types PATH as the file name, opens it
//   pick NAME TEXT...    clicks the item TEXT in the list of the combo box NAME, or the tab TEXT
//                        of the page control NAME
//   wait NAME TEXT...    waits until the control NAME shows TEXT (a form: its caption; a
//                        progress bar: "position/maximum"; GRID[COL,ROW]: that cell of a grid)
//   count NAME N         waits until the list of the combo box or list NAME holds N items
//   shown NAME           waits until the form or control NAME is on screen
//   hidden NAME          waits until no form or control NAME is on screen (one that has no
//                        window yet is not)
//   in-view NAME         waits until the control NAME is shown and no other control of its
//                        window lies over its middle
//   folder               waits for an open-file dialog and logs the folder it shows
//   wait-file PATH       waits until the file PATH exists (made by another program, for one)
//   shot NAME FILE       saves a picture of the control or form NAME as FILE (PNG)
//   shot box FILE        waits for a message box and saves a picture of the screen with it
//   during BAR PERCENT FILE
//                        done at once: when the progress bar BAR first reaches PERCENT % of
//                        its range (short of full), the picture of its window as the screen
//                        shows it is saved as FILE, and the bar's position and whether it is in
//                        view are logged ("during BAR: P/M in view" or "... covered by NAME").
//                        It happens inside the program's own update of the bar, so also while
//                        the program is busy and plays no step.
//   close NAME           closes the form NAME as its title bar's close button does
//   signal NAME          sends the program the signal NAME (TERM, HUP), as the end of the
//                        desktop session does
//
// Every step is logged on standard output ("step N: ..."). A step that cannot be done within
// 60 s ends the program with exit code 3, so that a test never hangs on it.
//
// A program that this one starts plays the script named by TRAKMON_TEST_DRIVE_CHILD, if any
// (its steps are logged as "child step N: ..."); otherwise it plays none.
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "vcl/qt_widgetset.h"

namespace {

// Set for a program that a driven program started.
constexpr const char* kChildMark = "TRAKMON_TEST_DRIVE_IS_CHILD";
// Whether this program is one (read before this program marks its own children).
bool started_by_driven = false;

class Driver : public QObject {
 public:
  Driver(QStringList steps, QObject* parent) : QObject(parent), steps_(std::move(steps)) {
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start();
    started_.start();
  }

 private:
  static QObject* FindObject(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == name) return top;
      if (auto* w = top->findChild<QWidget*>(name)) return w;
      if (auto* a = top->findChild<QAction*>(name)) return a;
    }
    // A menu item's action belongs to no window: it is found in the menus that show it.
    for (QWidget* w : QApplication::allWidgets())
      if (auto* menu = qobject_cast<QMenu*>(w))
        for (QAction* a : menu->actions())
          if (a->objectName() == name) return a;
    return nullptr;
  }

  // The cell that "GRID[COL,ROW]" names, with its grid; null where the grid or the cell is not
  // there.
  static QTableWidgetItem* CellOf(const QString& name, QTableWidget** grid) {
    static const QRegularExpression cell(R"(^(\w+)\[(\d+),(\d+)\]$)");
    const QRegularExpressionMatch match = cell.match(name);
    if (!match.hasMatch()) return nullptr;
    *grid = qobject_cast<QTableWidget*>(FindObject(match.captured(1)));
    if (!*grid) return nullptr;
    return (*grid)->item(match.captured(3).toInt(), match.captured(2).toInt());
  }

  // The edit that a user types into: the control itself, or the one it is built around.
  static QLineEdit* EditOf(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit;
    return w->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
  }

  static QString TextOf(QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    if (auto* bar = qobject_cast<QProgressBar*>(w))
      return QString::number(bar->value()) + '/' + QString::number(bar->maximum());
    if (QLineEdit* edit = EditOf(w)) return edit->text();
    return w->accessibleName();
  }

  // Whether `w` is on screen with no other control of its window over its middle; else the
  // name of the control that lies there (empty when `w` is not shown at all).
  static bool InView(QWidget* w, QString* cover) {
    cover->clear();
    if (!w->isVisible()) return false;
    QWidget* top = w->window();
    QWidget* at = top->childAt(w->mapTo(top, w->rect().center()));
    if (at == w || w->isAncestorOf(at)) return true;
    // The control that lies over it, named as the program names it.
    while (at && at->objectName().isEmpty()) at = at->parentWidget();
    *cover = at ? at->objectName() : QStringLiteral("?");
    return false;
  }

  // Saves the picture of `w`'s window as the screen shows it, and logs how far `bar` was.
  static void ShotDuring(QProgressBar* bar, const QString& file) {
    QString cover;
    const bool in_view = InView(bar, &cover);
    QWidget* top = bar->window();
    QScreen* screen = top->screen();
    const bool saved = screen && screen->grabWindow(top->winId()).save(file, "PNG");
    std::printf("%sduring %s: %d/%d %s%s, %s %s\n", Prefix().toUtf8().constData(),
                bar->objectName().toUtf8().constData(), bar->value(), bar->maximum(),
                in_view ? "in view" : "covered by ", cover.toUtf8().constData(),
                saved ? "saved" : "NOT saved", file.toUtf8().constData());
    std::fflush(stdout);
  }

  // A mouse click on `w` at `point` once this timer's slot has returned: a timer is not run
  // again while its slot runs, and the click may open a modal box that the next steps answer.
  void ClickLater(QWidget* w, QPoint point) {
    QPointer<QWidget> guard(w);
    QTimer::singleShot(0, this, [guard, point] {
      if (guard) QTest::mouseClick(guard, Qt::LeftButton, {}, point);
    });
  }

  // Types `text` over what the edit holds, as a user does: the old text selected, deleted, the
  // new one typed key by key.
  void TypeLater(QLineEdit* edit, const QString& text) {
    QPointer<QLineEdit> guard(edit);
    QTimer::singleShot(0, this, [guard, text] {
      if (!guard) return;
      guard->setFocus();
      guard->selectAll();
      QTest::keyClick(guard, Qt::Key_Delete);
      QTest::keyClicks(guard, text);
    });
  }

  // Types `text` into the cell of `grid` at `row`, `column` as a user does: a double click opens
  // the cell's editor, the text is typed over what it holds and Enter ends the editing.
  void TypeInCellLater(QTableWidget* grid, int row, int column, const QString& text) {
    QPointer<QTableWidget> guard(grid);
    QTimer::singleShot(0, this, [guard, row, column, text] {
      QTableWidgetItem* cell = guard ? guard->item(row, column) : nullptr;
      if (!cell) return;
      guard->scrollToItem(cell);
      // As the mouse gives a double click: a click, then the second press as a double click.
      const QPoint point = guard->visualItemRect(cell).center();
      QTest::mouseClick(guard->viewport(), Qt::LeftButton, {}, point);
      QTest::mouseDClick(guard->viewport(), Qt::LeftButton, {}, point);
      QTest::mouseRelease(guard->viewport(), Qt::LeftButton, {}, point);
      for (QLineEdit* editor : guard->viewport()->findChildren<QLineEdit*>()) {
        if (!editor->isVisible()) continue;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        return;
      }
      std::printf("driver: no editor opened in cell %d,%d of %s\n", column, row,
                  guard->objectName().toUtf8().constData());
      std::fflush(stdout);
      std::_Exit(3);
    });
  }

  // Where a click opens the combo box's list: anywhere on it, or on the arrow of one that takes
  // typing (a click on its edit only places the cursor).
  static QPoint OpenerOf(QComboBox* combo) {
    if (!combo->isEditable()) return combo->rect().center();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    return combo->style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo)
        .center();
  }

  // Picks the item `text` of a combo box as a user does: a click on the box opens its list, a
  // click on the item (after a pause, so that the list takes it as a click of its own) chooses.
  bool PickItem(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    if (index < 0 || !combo->isVisible() || !combo->isEnabled()) return false;
    QAbstractItemView* list = combo->view();
    if (!list->isVisible()) {
      if (!list_opened_.isValid() || list_opened_.elapsed() > 2000) {
        list_opened_.start();
        ClickLater(combo, OpenerOf(combo));
      }
      return false;
    }
    if (list_opened_.elapsed() < QApplication::doubleClickInterval() + 200) return false;
    const QModelIndex item = combo->model()->index(index, combo->modelColumn());
    list->scrollTo(item);
    Next("pick " + combo->objectName() + " item " + text);
    ClickLater(list->viewport(), list->visualRect(item).center());
    return true;
  }

  // Clicks the tab `text` of a page control.
  bool PickTab(QTabBar* tabs, const QString& name, const QString& text) {
    if (!tabs->isVisible() || !tabs->isEnabled()) return false;
    for (int i = 0; i < tabs->count(); ++i) {
      if (tabs->tabText(i) != text || !tabs->isTabVisible(i) || !tabs->isTabEnabled(i)) continue;
      Next("pick " + name + " tab " + text);
      ClickLater(tabs, tabs->tabRect(i).center());
      return true;
    }
    return false;
  }

  // "child " in a program that another driven program started.
  static QString Prefix() { return started_by_driven ? "child " : ""; }

  void Log(const QString& text) {
    std::printf("%sstep %d: %s\n", Prefix().toUtf8().constData(), static_cast<int>(index_ + 1),
                text.toUtf8().constData());
    std::fflush(stdout);
  }

  // Runs the current step when it can be done; true when it was.
  bool Try(const QString& step) {
    const QString verb = step.section(' ', 0, 0);
    const QString name = step.section(' ', 1, 1);
    const QString rest = step.section(' ', 2);
    if (verb == "click") {
      QObject* target = FindObject(name);
      auto* w = qobject_cast<QWidget*>(target);
      auto* action = qobject_cast<QAction*>(target);
      if (w && (!w->isVisible() || !w->isEnabled())) return false;
      if (!w && !action) return false;
      Next("click " + name);
      if (w) {
        ClickLater(w, w->rect().center());
      } else {
        QPointer<QAction> guard(action);
        QTimer::singleShot(0, this, [guard] {
          if (guard) guard->trigger();
        });
      }
      return true;
    }
    if (verb == "press") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      if (!w) return false;
      Next("press " + name);
      QPointer<QWidget> guard(w);
      QTimer::singleShot(0, this, [guard] {
        QEvent press(vcl::qt::kForceClickEvent);
        if (guard) QCoreApplication::sendEvent(guard, &press);
      });
      return true;
    }
    if (verb == "type") {
      QTableWidget* grid = nullptr;
      if (QTableWidgetItem* cell = CellOf(name, &grid)) {
        if (!grid->isVisible() || !grid->isEnabled() || !(cell->flags() & Qt::ItemIsEditable))
          return false;
        Next("type " + name + " " + rest);
        TypeInCellLater(grid, cell->row(), cell->column(), rest);
        return true;
      }
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      QLineEdit* edit = w ? EditOf(w) : nullptr;
      if (!edit || !edit->isVisible() || !edit->isEnabled() || edit->isReadOnly()) return false;
      Next("type " + name + " " + rest);
      TypeLater(edit, rest);
      return true;
    }
    if (verb == "answer") {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return false;
      auto* box = qobject_cast<QMessageBox*>(dialog);
      for (QAbstractButton* b : box ? box->buttons() : dialog->findChildren<QAbstractButton*>()) {
        if (b->text().remove('&') != name || !b->isVisible() || !b->isEnabled()) continue;
        Next("answer " + name + " to \"" + (box ? box->text() : dialog->windowTitle()) + "\"");
        ClickLater(b, b->rect().center());
        return true;
      }
      return false;
    }
    if (verb == "wait-file") {
      const QString path = step.section(' ', 1);
      if (!QFile::exists(path)) return false;
      Next("wait-file " + path);
      return true;
    }
    if (verb == "file") {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return false;
      auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
      auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
      QAbstractButton* open = nullptr;
      for (QAbstractButton* b : buttons ? buttons->buttons() : QList<QAbstractButton*>())
        if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole) open = b;
      if (!edit || !open) return false;
      const QString path = step.section(' ', 1);
      Next("file " + path + " in \"" + dialog->windowTitle() + "\"");
      edit->setFocus();
      // Typed and accepted in one go: a dialog still loading its folder selects the file it
      // was preset with into the edit when the folder is in, over what was typed before.
      QPointer<QLineEdit> typed(edit);
      QPointer<QAbstractButton> accept(open);
      QTimer::singleShot(0, this, [typed, accept, path] {
        if (!typed || !accept) return;
        typed->setText(path);
        // click() accepts at once; a synthetic mouse click may let the dialog's folder load
        // put its preset file back into the edit between press and release.
        accept->click();
      });
      return true;
    }
    if (verb == "pick") {
      QWidget* w = qobject_cast<QWidget*>(FindObject(name));
      if (!w) return false;
      if (auto* combo = qobject_cast<QComboBox*>(w)) return PickItem(combo, rest);
      auto* tabs = qobject_cast<QTabBar*>(w);
      if (!tabs) tabs = w->findChild<QTabBar*>();
      return tabs && PickTab(tabs, name, rest);
    }
    if (verb == "close") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      if (!w || !w->isWindow() || !w->isVisible()) return false;
      Next("close " + name);
      QPointer<QWidget> guard(w);
      QTimer::singleShot(0, this, [guard] {
        if (guard) guard->close();
      });
      return true;
    }
    if (verb == "signal") {
      const int number = name == "TERM" ? SIGTERM : name == "HUP" ? SIGHUP : 0;
      if (number == 0) {
        std::printf("driver: unknown signal \"%s\"\n", name.toUtf8().constData());
        std::_Exit(3);
      }
      Next("signal " + name);
      QTimer::singleShot(0, this, [number] { kill(getpid(), number); });
      return true;
    }
    if (verb == "wait") {
      QTableWidget* grid = nullptr;
      QTableWidgetItem* cell = CellOf(name, &grid);
      auto* w = cell ? nullptr : qobject_cast<QWidget*>(FindObject(name));
      if (cell ? cell->text() != rest : !w || TextOf(w) != rest) return false;
      Next("wait " + name + " = " + rest);
      return true;
    }
    if (verb == "count") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      int count = -1;
      if (auto* combo = qobject_cast<QComboBox*>(w)) count = combo->count();
      if (auto* list = qobject_cast<QAbstractItemView*>(w)) count = list->model()->rowCount();
      if (count < 0 || QString::number(count) != rest) return false;
      Next("count " + name + " = " + rest);
      return true;
    }
    if (verb == "shown" || verb == "hidden") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      if ((w && w->isVisible()) != (verb == "shown")) return false;
      Next(verb + " " + name);
      return true;
    }
    if (verb == "in-view") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      QString cover;
      if (!w || !InView(w, &cover)) return false;
      Next("in-view " + name);
      return true;
    }
    if (verb == "folder") {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return false;
      Next("folder of \"" + dialog->windowTitle() + "\": " + dialog->directory().absolutePath());
      return true;
    }
    if (verb == "during") {
      auto* bar = qobject_cast<QProgressBar*>(FindObject(name));
      const int percent = rest.section(' ', 0, 0).toInt();
      const QString file = rest.section(' ', 1);
      if (!bar || file.isEmpty()) return false;
      Next("during " + name + " at " + QString::number(percent) + "%");
      auto done = std::make_shared<bool>(false);
      QPointer<QProgressBar> guard(bar);
      connect(
          bar, &QProgressBar::valueChanged, this,
          [guard, percent, file, done](int value) {
            if (*done || !guard) return;
            const long long range = guard->maximum() - guard->minimum();
            const long long reached = value - guard->minimum();
            if (range <= 0 || value >= guard->maximum() || reached * 100 < percent * range) return;
            *done = true;
            ShotDuring(guard, file);
          },
          Qt::DirectConnection);
      return true;
    }
    if (verb == "shot" && name == "box") {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QScreen* screen = QGuiApplication::primaryScreen();
      if (!box || !box->isVisible() || !screen) return false;
      QApplication::processEvents();
      bool saved = screen->grabWindow(0).save(rest, "PNG");
      Next("shot box \"" + box->text() + "\"" + (saved ? " saved " : " NOT saved ") + rest);
      return true;
    }
    if (verb == "shot") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      if (!w) return false;
      QApplication::processEvents();
      bool saved = w->grab().save(rest, "PNG");
      Next("shot " + name + (saved ? " saved " : " NOT saved ") + rest);
      return true;
    }
    std::printf("driver: unknown step \"%s\"\n", step.toUtf8().constData());
    std::_Exit(3);
  }

  void Next(const QString& done) {
    Log(done);
    ++index_;
    started_.restart();
    list_opened_.invalidate();
  }

  // Also runs inside the modal loop of a box that a click opened.
  void Tick() {
    if (index_ >= steps_.size()) {
      timer_.stop();
      return;
    }
    const QString step = steps_[index_];
    bool done = Try(step);
    if (!done && started_.elapsed() > 60'000) {
      std::printf("driver: timed out at step %d: %s\n", static_cast<int>(index_ + 1),
                  step.toUtf8().constData());
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        std::printf("driver: the box shows \"%s\" with", box->text().toUtf8().constData());
        for (QAbstractButton* b : box->buttons())
          std::printf(" [%s]", b->text().toUtf8().constData());
        std::printf("\n");
      }
      std::fflush(stdout);
      std::_Exit(3);
    }
  }

  QStringList steps_;
  qsizetype index_ = 0;
  QTimer timer_;
  QElapsedTimer started_;
  QElapsedTimer list_opened_;  // since a pick opened a combo box's list
};

void StartDriver() {
  const QByteArray script = qgetenv("TRAKMON_TEST_DRIVE");
  started_by_driven = qEnvironmentVariableIsSet(kChildMark);
  // What a program started from this one plays: the child's script, or nothing.
  const QByteArray child = qgetenv("TRAKMON_TEST_DRIVE_CHILD");
  qunsetenv("TRAKMON_TEST_DRIVE_CHILD");
  if (child.isEmpty()) {
    qunsetenv("TRAKMON_TEST_DRIVE");
  } else {
    qputenv("TRAKMON_TEST_DRIVE", child);
    qputenv(kChildMark, "1");
  }
  if (script.isEmpty()) return;
  QFile file(QString::fromLocal8Bit(script));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "driver: cannot read %s\n", script.constData());
    std::_Exit(3);
  }
  QStringList steps;
  QTextStream in(&file);
  while (!in.atEnd()) {
    QString line = in.readLine().trimmed();
    if (!line.isEmpty() && !line.startsWith('#')) steps << line;
  }
  new Driver(std::move(steps), QCoreApplication::instance());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
