// The settings panels in the real window: the main window on the Qt widget set under X, against
// the simulator tool on a pseudo-terminal. Values are typed and buttons clicked through the Qt
// widgets; what the panels then show is checked on the widgets and saved as pictures under the
// build folder (<build>/screenshots/Trakmon_panel_*.png) for people to look at.
// Exits with 77 (skipped) without an X display; run it through run_with_x.sh.
//
// Compiled as UTF-8: the texts compared are those the Qt widgets show.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tool_process.h"
#include "test_support/temp_dir.h"
#include "vcl/qt_widgetset.h"

namespace {

namespace fs = std::filesystem;

vcl::qt::QtWidgetSet* g_ws = nullptr;

// Lets the window catch up with what the handlers did.
void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// A person's click on the widget of a button, then a short pause.
void ClickOn(TComponent* button) {
  auto* widget = qobject_cast<QAbstractButton*>(g_ws->WidgetOf(button));
  ASSERT_NE(widget, nullptr) << button->Name().str();
  ASSERT_TRUE(widget->isVisible() && widget->isEnabled()) << button->Name().str();
  widget->click();
  Settle();
}

// The line edit that shows an edit or a combo box's text.
QLineEdit* LineEditOf(TComponent* control) {
  QWidget* widget = g_ws->WidgetOf(control);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit;
  return widget ? widget->findChild<QLineEdit*>() : nullptr;
}

// Replaces the text by typing, as a person would.
void TypeInto(TComponent* control, const char* utf8) {
  QLineEdit* edit = LineEditOf(control);
  ASSERT_NE(edit, nullptr) << control->Name().str();
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, QString::fromUtf8(utf8));
  Settle();
}

QString Shown(TComponent* control) {
  if (auto* label = qobject_cast<QLabel*>(g_ws->WidgetOf(control))) return label->text();
  QLineEdit* edit = LineEditOf(control);
  return edit ? edit->text() : QString();
}

void Save(TML_Form* form, const char* name) {
  Settle();
  fs::create_directories(SCREENSHOT_DIR);
  const std::string file = std::string(SCREENSHOT_DIR) + "/Trakmon_panel_" + name + ".png";
  EXPECT_TRUE(g_ws->SaveScreenshot(form, QString::fromStdString(file))) << file;
  std::printf("screenshot: %s\n", file.c_str());
}

TEST(PanelsOnScreen, WrittenSettingsAreReadBackIntoThePanels) {
  test_support::TempDir temp("trakmon_panels_shot");
  const fs::path& dir = temp.path();
  ::setenv("TRAKMON_PREFIX", dir.c_str(), 1);
  platform::testing::SetModuleFileName((dir / "Trakmon").string());
  std::ofstream(dir / "Trakmon.INI") << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", dir.string(), "--com", "1"});
  ASSERT_FALSE(tool.ReadLine().empty());

  Application->CreateForm<TML_Form>(&ML_Form);
  TML_Form* form = ML_Form;
  form->Show();
  g_ws->ShowPendingForms();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(g_ws->WidgetOf(form), 10000));
  ClickOn(form->SBOpenComPort);
  ASSERT_TRUE(CommPort->IsOpen());

  ClickOn(form->sb_user_phone);
  TypeInto(form->edit_pass, "Parol9");
  ClickOn(form->sb_pass);
  ClickOn(form->SBWritePH);
  TypeInto(form->user_spin, "2");
  TypeInto(form->done_edit_phone, "+79005550011");
  ClickOn(form->sb_done_edit_phone);
  ClickOn(form->SBWritePH);
  TypeInto(form->edit_pass, "");
  ClickOn(form->sb_read_pass);
  ClickOn(form->SBReadPH);
  EXPECT_EQ(Shown(form->edit_pass), "Parol9");
  EXPECT_EQ(Shown(form->EditReadUser), "+79005550011");
  EXPECT_EQ(Shown(form->EditPhone), "u2=+79005550011 *");
  Save(form, "phones");

  ClickOn(form->sb_apn_panel_on);
  TypeInto(form->edit_user_apn, "GPRS.Volna");
  TypeInto(form->edit_user_login, "usr");
  TypeInto(form->edit_user_pass, "");
  ClickOn(form->sb_write_apn_user);
  TypeInto(form->ip_box, "10.1.2.3");
  ClickOn(form->sb_write_ip);
  form->apn_box->ItemIndex = 3;
  ClickOn(form->sb_write_apn);
  for (TComponent* edit : {form->edit_user_apn, form->edit_user_login, form->edit_user_pass})
    TypeInto(edit, "");
  ClickOn(form->sb_read_apn_user);
  ClickOn(form->sb_read_ip);
  ClickOn(form->read_portip);
  ClickOn(form->sb_read_apn);
  EXPECT_EQ(Shown(form->edit_user_apn), "gprs.volna");
  EXPECT_EQ(Shown(form->edit_user_login), "usr");
  EXPECT_EQ(Shown(form->edit_user_pass), "");
  EXPECT_EQ(Shown(form->edit_ip), "10.1.2.3");
  EXPECT_EQ(Shown(form->edit_read_portip), "2020");
  EXPECT_EQ(Shown(form->edit_apn), "Меридиан GSM");
  Save(form, "apn");

  ClickOn(form->SpeedButton10);
  TypeInto(form->SrEdit, "K777KK");
  ClickOn(form->OK_SERIAL);
  Save(form, "number");
  ClickOn(form->SpeedButton21);
  ClickOn(form->SpeedButton26);
  ClickOn(form->SpeedButton28);
  ClickOn(form->SpeedButton21);  // shows the panel again and asks for both modes
  EXPECT_EQ(Shown(form->Edit14), "IGN");
  EXPECT_EQ(Shown(form->Edit15), "LITRE");
  Save(form, "extra");
  ClickOn(form->SBMode);
  EXPECT_EQ(Shown(form->Label23), "Номер прибора-> ID= K777KK");
  Save(form, "state");

  ClickOn(form->SBCloseComPort);
  vcl::ResetApplication();
  ML_Form = nullptr;
  platform::testing::SetModuleFileName("");
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::puts("No X display: the panels on screen are not checked.");
    return 77;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  int result;
  {
    vcl::qt::QtWidgetSet ws;
    g_ws = &ws;
    vcl::SetWidgetSet(&ws);
    vcl::ResetApplication();
    result = RUN_ALL_TESTS();
    vcl::ResetApplication();
    vcl::SetWidgetSet(nullptr);
    g_ws = nullptr;
  }
  return result;
}
