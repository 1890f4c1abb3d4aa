// The test program of the Qt widget set: one QApplication on an X display for all tests.
// Exits with 77 (skipped) when there is no display; run it through run_with_x.sh.
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "qt_test_support.h"
#include "test_support/temp_dir.h"

namespace vcl_qt_test {

namespace {
std::string g_prefix;
}

std::string TestPrefix() {
  return g_prefix;
}

QtFixture::QtFixture() {
  vcl::SetWidgetSet(&ws);
  vcl::ResetApplication();
}

QtFixture::~QtFixture() {
  vcl::ResetApplication();
  vcl::SetWidgetSet(nullptr);
}

void QtFixture::ShowAndWait(TCustomForm* form) {
  ws.ShowPendingForms();
  QWidget* window = ws.WidgetOf(form);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 10000));
  window->activateWindow();
  // Without a window manager activation may not be reported; the tests do not rely on it.
  (void)QTest::qWaitForWindowActive(window, 2000);
}

void DemoFixture::SetUp() {
  Application->CreateForm<TDemoForm>(&form);
  form->Show();
  ShowAndWait(form);
}

void WhenModal(std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(20);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) modal = QApplication::activePopupWidget();
    if (!modal || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start();
}

QStringList ButtonTexts(QWidget* modal) {
  QList<QPushButton*> buttons = modal->findChildren<QPushButton*>();
  buttons.erase(std::remove_if(buttons.begin(), buttons.end(),
                               [](QPushButton* b) { return !b->isVisible(); }),
                buttons.end());
  std::sort(buttons.begin(), buttons.end(), [modal](QPushButton* a, QPushButton* b) {
    return a->mapTo(modal, QPoint()).x() < b->mapTo(modal, QPoint()).x();
  });
  QStringList texts;
  for (QPushButton* b : buttons) texts << b->text();
  return texts;
}

QAbstractButton* FindButton(QWidget* modal, const QString& text) {
  for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
    if (b->text() == text && b->isVisible()) return b;
  return nullptr;
}

void ClickButton(QWidget* modal, const QString& text) {
  QAbstractButton* b = FindButton(modal, text);
  if (!b) {
    ADD_FAILURE() << "no button " << text.toStdString() << " in the modal widget";
    modal->close();
    return;
  }
  b->click();
}

}  // namespace vcl_qt_test

namespace {

// Closes a modal widget that nobody answers, so that a broken test fails instead of hanging.
class ModalWatchdog {
 public:
  ModalWatchdog() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) modal = QApplication::activePopupWidget();
      if (modal != seen_) {
        seen_ = modal;
        ticks_ = 0;
        return;
      }
      if (modal && ++ticks_ > 100) {
        ADD_FAILURE() << "a modal widget stayed open unanswered: "
                      << modal->windowTitle().toStdString();
        modal->close();
        ticks_ = 0;
      }
    });
    timer_.start(200);
  }

 private:
  QTimer timer_;
  QWidget* seen_ = nullptr;
  int ticks_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::puts("No X display: the Qt widget set's tests are skipped.");
    return 77;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  // A prefix of the test's own, for drive letters and the folders the dialogs show.
  test_support::TempDir prefix("vcl_qt_test");
  vcl_qt_test::g_prefix = prefix.str();
  setenv("TRAKMON_PREFIX", vcl_qt_test::g_prefix.c_str(), 1);

  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  // As the programs' entry does; a test below checks that the texts are there.
  vcl::qt::InstallQtTranslations();
  int result;
  {
    ModalWatchdog watchdog;
    result = RUN_ALL_TESTS();
  }
  return result;
}
