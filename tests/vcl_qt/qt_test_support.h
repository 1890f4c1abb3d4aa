// Support for tests of the Qt widget set: a widget set and a fresh Application per test, the
// demonstration form on screen, and answering modal boxes the way a person would (a timer
// that finds the modal widget and clicks a button).
//
// These tests are compiled as UTF-8, since they talk to Qt; texts for the class library go
// through C("...").
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <functional>
#include <string>

#include "demo_form.h"
#include "platform/cp1251.h"
#include "vcl/qt_widgetset.h"
#include "vcl/vcl.h"

// Readable values in failure messages.
inline void PrintTo(const AnsiString& text, std::ostream* os) {
  *os << '"' << platform::Cp1251ToUtf8(text.str()) << '"';
}
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace vcl_qt_test {

// A code page 1251 text for the class library from a UTF-8 literal, and back.
inline AnsiString C(const char* utf8) {
  return AnsiString(platform::Utf8ToCp1251(utf8));
}
inline std::string Utf8(const AnsiString& text) {
  return platform::Cp1251ToUtf8(text.str());
}
inline QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

class QtFixture : public ::testing::Test {
 protected:
  QtFixture();
  ~QtFixture() override;

  // The widget that shows a component, as W (nullptr when it is not one).
  template <class W = QWidget>
  W* Widget(const TComponent* component) const {
    return dynamic_cast<W*>(ws.WidgetOf(component));
  }
  // Waits until the form's window is on screen (and, where a window manager allows, active).
  void ShowAndWait(TCustomForm* form);

  vcl::qt::QtWidgetSet ws;
};

// The demonstration form, shown.
class DemoFixture : public QtFixture {
 protected:
  void SetUp() override;
  TDemoForm* form = nullptr;
};

// Runs `answer` with the next modal box or dialog (or pop-up menu) once it is shown. A modal
// widget left open for long is closed by the test program's watchdog, failing the test.
void WhenModal(std::function<void(QWidget*)> answer);
// The texts of a modal widget's push buttons, left to right.
QStringList ButtonTexts(QWidget* modal);
QAbstractButton* FindButton(QWidget* modal, const QString& text);
void ClickButton(QWidget* modal, const QString& text);

// The colour of the screen (the X server's picture, not Qt's) at a point of a widget.
inline QColor OnScreen(QWidget* widget, QPoint at) {
  QPoint global = widget->mapToGlobal(at);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1);
  return shot.toImage().pixelColor(0, 0);
}

// A folder of its own for a test; TRAKMON_PREFIX points here for path mapping.
std::string TestPrefix();

}  // namespace vcl_qt_test
