// The user's input on the widgets reaches the controls and their handlers, and what the
// handlers change shows.
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using InputTest = DemoFixture;

AnsiString LastLog(TDemoForm* form) {
  return form->Log.empty() ? AnsiString() : form->Log.back();
}

// Gives the widget the keyboard focus as a click into it would.
void FocusOn(QWidget* w) {
  w->setFocus(Qt::MouseFocusReason);
  QCoreApplication::processEvents();
}

TEST_F(InputTest, TypingGoesThroughCharCaseMaxLengthAndOnChange) {
  auto* edit = Widget<QLineEdit>(form->EditName);
  FocusOn(edit);
  edit->selectAll();
  QTest::keyClicks(edit, "petrov12345");
  EXPECT_EQ(form->EditName->Text(), "PETROV12");
  EXPECT_EQ(edit->text(), U("PETROV12"));
  EXPECT_EQ(LastLog(form), "name PETROV12");
  EXPECT_EQ(form->ActiveControl(), form->EditName);
}

TEST_F(InputTest, ClicksRunTheHandlersAndTheirChangesShow) {
  QTest::mouseClick(Widget(form->ButtonApply), Qt::LeftButton);
  EXPECT_EQ(LastLog(form), "apply");
  EXPECT_EQ(Widget<QLabel>(form->LabelResult)->text(), U("IVANOV COM10 1 115200"));
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text(), C("Применено"));
  // Enter in an edit presses the form's default button.
  FocusOn(Widget(form->EditName));
  form->Log.clear();
  QTest::keyClick(Widget(form->EditName), Qt::Key_Return);
  EXPECT_EQ(LastLog(form), "apply");

  auto* check = Widget<QCheckBox>(form->CheckConfirm);
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
  EXPECT_FALSE(form->CheckConfirm->Checked());
  EXPECT_FALSE(check->isChecked());

  QList<QRadioButton*> radios = Widget(form->RadioSpeed)->findChildren<QRadioButton*>();
  QTest::mouseClick(radios[1], Qt::LeftButton, {}, QPoint(6, radios[1]->height() / 2));
  EXPECT_EQ(form->RadioSpeed->ItemIndex(), 1);
  EXPECT_TRUE(radios[1]->isChecked());
  EXPECT_FALSE(radios[2]->isChecked());

  // A tool button of check style; a speed button with a picture.
  QTest::mouseClick(Widget(form->ToolButtonTimer), Qt::LeftButton);
  EXPECT_TRUE(form->ToolButtonTimer->Down());
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_TRUE(Widget<QToolButton>(form->ToolButtonTimer)->isChecked());
  QTest::mouseClick(Widget(form->SBPicture), Qt::LeftButton);
  EXPECT_FALSE(form->Image1->Visible());
  EXPECT_FALSE(Widget(form->Image1)->isVisible());
}

// A test driver's forced click (kForceClickEvent) runs the handler of a control that no user can
// reach; the user's own click on it does nothing.
TEST_F(InputTest, ForcedClickReachesAHiddenControl) {
  form->ButtonApply->Visible = false;
  QWidget* button = Widget(form->ButtonApply);
  form->Log.clear();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(form->Log.empty());
  QEvent press(vcl::qt::kForceClickEvent);
  QCoreApplication::sendEvent(button, &press);
  EXPECT_EQ(LastLog(form), "apply");
}

TEST_F(InputTest, ChoicesInListsBarsSpinsGridsAndTabs) {
  auto* port = Widget<QComboBox>(form->ComboPort);
  FocusOn(port);
  QTest::keyClick(port, Qt::Key_Down);
  EXPECT_EQ(form->ComboPort->ItemIndex(), 1);
  EXPECT_EQ(form->ComboPort->Text(), "COM2");

  auto* command = Widget<QComboBox>(form->ComboCommand);
  FocusOn(command);
  command->lineEdit()->selectAll();
  QTest::keyClicks(command->lineEdit(), "ate0");
  EXPECT_EQ(form->ComboCommand->Text(), "ate0");
  EXPECT_EQ(form->ComboCommand->ItemIndex(), 0) << "the typed text names an item";
  EXPECT_EQ(command->currentText(), U("ate0"));

  auto* track = Widget<QSlider>(form->TrackInterval);
  FocusOn(track);
  QTest::keyClick(track, Qt::Key_Right);
  EXPECT_EQ(form->TrackInterval->Position(), 10);
  EXPECT_EQ(Widget<QLabel>(form->LabelInterval)->text(), U("10"));
  // A drag to 13: the handler keeps multiples of 5, and the bar shows where it put it.
  track->setValue(13);
  EXPECT_EQ(form->TrackInterval->Position(), 10);
  EXPECT_EQ(track->value(), 10);

  QWidget* spin = Widget(form->SpinCount);
  auto* spin_text = spin->findChild<QLineEdit*>();
  FocusOn(spin);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(form->SpinCount->Value(), 2);
  EXPECT_EQ(spin_text->text(), U("2"));
  spin_text->selectAll();
  QTest::keyClicks(spin, "7");
  EXPECT_EQ(form->SpinCount->Value(), 7) << "a typed number reads as typed";
  // Leaving the spin edit brings the value into its range.
  FocusOn(Widget(form->EditName));
  EXPECT_EQ(form->SpinCount->Value(), 3);
  EXPECT_EQ(spin_text->text(), U("3"));

  auto* tabs = Widget(form->PageControl1)->findChild<QTabBar*>();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheetGrid);
  EXPECT_TRUE(Widget(form->TabSheetGrid)->isVisible());
  EXPECT_FALSE(Widget(form->TabSheetInput)->isVisible());

  auto* grid = Widget<QTableWidget>(form->StringGrid1);
  grid->item(2, 1)->setText(QStringLiteral("77"));
  EXPECT_EQ(form->StringGrid1->Cells[1][2](), "77");
}

TEST_F(InputTest, MenusAndPopupMenusRunTheirItems) {
  form->RefuseClose = true;
  ws.ActionOf(form->MenuExit)->trigger();
  ASSERT_GE(form->Log.size(), 1u);
  EXPECT_EQ(LastLog(form), "FormCloseQuery");
  EXPECT_TRUE(Widget(form)->isVisible()) << "the close question refused";

  // The title bar's close asks the form the same way.
  form->Log.clear();
  Widget(form)->close();
  EXPECT_EQ(LastLog(form), "FormCloseQuery");
  EXPECT_TRUE(Widget(form)->isVisible());

  form->RefuseClose = false;
  ws.ActionOf(form->MenuExit)->trigger();
  EXPECT_EQ(LastLog(form), "FormClose");
  EXPECT_TRUE(Application->Terminated()) << "closing the main form ends the loop";

  // A right click on the memo pops its menu up; its item clears the memo.
  QString chosen;
  WhenModal([&](QWidget* popup) {
    auto* menu = qobject_cast<QMenu*>(popup);
    ASSERT_NE(menu, nullptr);
    chosen = menu->actions().value(0)->text();
    menu->actions().value(0)->trigger();
    menu->close();
  });
  form->PageControl1->ActivePage = form->TabSheetLog;
  auto* memo = Widget<QPlainTextEdit>(form->Memo1);
  QPoint at = memo->viewport()->rect().center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, memo->viewport()->mapToGlobal(at));
  QApplication::sendEvent(memo->viewport(), &event);
  EXPECT_EQ(chosen, U("Очистить"));
  EXPECT_EQ(form->Memo1->Lines->Count(), 0);
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  EXPECT_EQ(form->PopupMenu1->PopupComponent(), form->Memo1);
}

// Key handlers see the keys first: they may swallow or replace them.
class KeyForm : public QtFixture {
 protected:
  void SetUp() override {
    Application->CreateForm<TForm>(&form);
    form->KeyPreview = true;
    form->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
      previewed += static_cast<char>(key);
      if (key == VK_F5) key = 0;
    };
    edit = new TEdit(form);
    edit->SetBounds(10, 10, 200, 22);
    edit->Parent = form;
    edit->OnKeyPress = [](TObject*, char& key) {
      if (key == 'a') key = 'b';
      if (key == 'x') key = 0;
    };
    edit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
      if (key == VK_F5) reached_edit = true;
    };
    form->Show();
    ShowAndWait(form);
  }
  static constexpr WORD VK_F5 = 0x74;
  TForm* form = nullptr;
  TEdit* edit = nullptr;
  std::string previewed;
  bool reached_edit = false;
};

TEST_F(KeyForm, HandlersSwallowAndReplaceCharacters) {
  auto* line = Widget<QLineEdit>(edit);
  FocusOn(line);
  QTest::keyClicks(line, "axc");
  EXPECT_EQ(edit->Text(), "bc");
  EXPECT_EQ(line->text(), U("bc"));
  EXPECT_EQ(previewed, "AXC") << "the form previews the keys' virtual codes";
  QTest::keyClick(line, Qt::Key_F5);
  EXPECT_FALSE(reached_edit) << "the form's preview swallowed F5";
}

}  // namespace
}  // namespace vcl_qt_test
