// A test-only driver for the real program under Xvfb, loaded with LD_PRELOAD: the program itself
// knows nothing of it. When the Qt application starts, it reads the script named by
// TRAKMON_TEST_DRIVE and plays it as a user would, through the program's own widgets:
//
//   click NAME           a mouse click on the control NAME (or triggers the menu item NAME)
//   answer BUTTON        waits for a message box and clicks its button (e.g. OK); logs its text
//   wait NAME TEXT...    waits until the control NAME shows TEXT (a form: its caption)
//   shot NAME FILE       saves a picture of the control or form NAME as FILE (PNG)
//
// Every step is logged on standard output ("step N: ..."). A step that cannot be done within
// 60 s ends the program with exit code 3, so that a test never hangs on it.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

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
    return nullptr;
  }

  static QString TextOf(QWidget* w) {
    if (w->isWindow()) return w->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return w->accessibleName();
  }

  void Log(const QString& text) {
    std::printf("step %d: %s\n", static_cast<int>(index_ + 1), text.toUtf8().constData());
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
      // Outside this timer's slot: a timer is not run again while its slot runs, and the click
      // may open a modal box that the next steps answer.
      QPointer<QObject> guard(target);
      QTimer::singleShot(0, this, [guard, w, action] {
        if (!guard) return;
        if (w)
          QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        else
          action->trigger();
      });
      return true;
    }
    if (verb == "answer") {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return false;
      for (QAbstractButton* b : box->buttons()) {
        if (b->text().remove('&') != name) continue;
        Next("answer " + name + " to \"" + box->text() + "\"");
        QPointer<QAbstractButton> button(b);
        QTimer::singleShot(0, this, [button] {
          if (button) QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        });
        return true;
      }
      return false;
    }
    if (verb == "wait") {
      auto* w = qobject_cast<QWidget*>(FindObject(name));
      if (!w || TextOf(w) != rest) return false;
      Next("wait " + name + " = " + rest);
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
};

void StartDriver() {
  const QByteArray script = qgetenv("TRAKMON_TEST_DRIVE");
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
