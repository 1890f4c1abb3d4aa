// The demonstration form built headless: its description, its controls and the way events,
// modal boxes and exceptions behave.
#include "demo_form.h"

#include <gtest/gtest.h>

#include "vcl/headless_gtest.h"

namespace hl = vcl::headless;

class DemoFormTest : public hl::FormTest {
 protected:
  void SetUp() override {
    Application->CreateForm<TDemoForm>(&form);
    form->Show();
  }
  TDemoForm* form = nullptr;
};

TEST_F(DemoFormTest, ControlsComeFromTheDescription) {
  struct Case {
    const char* name;
    const char* cls;
    const char* caption;
    bool visible;
  };
  const Case cases[] = {
      {"LabelName", "TLabel", "&Имя:", true},
      {"EditName", "TEdit", "IVANOV", true},      // CharCase upper converts the stored text
      {"ComboPort", "TComboBox", "COM10", true},  // sorted, item 0
      {"ComboCommand", "TComboBox", "AT+CSQ", true},
      {"CheckConfirm", "TCheckBox", "Подтверждать действия", true},
      {"SpinCount", "TCSpinEdit", "1", true},
      {"ButtonApply", "TButton", "Применить", true},
      {"ButtonHidden", "TButton", "Скрытая", false},
      {"GroupMode", "TGroupBox", "Режим", true},
      {"RadioSpeed", "TRadioGroup", "Скорость", true},
      {"StaticInfo", "TStaticText", "Справка: статический текст", true},
      {"TabSheetGrid", "TTabSheet", "Таблица", true},
      {"MenuFile", "TMenuItem", "&Файл", true},
      {"MenuDebug", "TMenuItem", "Отладка", false},
      {"Timer1", "TTimer", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TComponent* comp = hl::Find(form, c.name);
    EXPECT_EQ(comp->ClassName(), c.cls);
    if (auto* control = dynamic_cast<TControl*>(comp)) {
      EXPECT_EQ(control->Caption(), c.caption);
      EXPECT_EQ(control->Visible(), c.visible);
    } else if (auto* item = dynamic_cast<TMenuItem*>(comp)) {
      EXPECT_EQ(item->Caption(), c.caption);
      EXPECT_EQ(item->Visible(), c.visible);
    }
  }
  EXPECT_EQ(form->Caption(), "Демонстрация 'VCL' \x97 форма");
  EXPECT_EQ(form->ClientWidth(), 640);
  EXPECT_EQ(form->Color(), static_cast<TColor>(0x00F0F0F0));
  EXPECT_EQ(form->Menu(), form->MainMenu1);
  EXPECT_EQ(form->Memo1->PopupMenu(), form->PopupMenu1);
  EXPECT_EQ(form->LabelName->FocusControl(), form->EditName);
  EXPECT_EQ(form->ComboPort->Items->Count, 3);
  EXPECT_EQ(form->ComboPort->Items->Strings[2], "COM3");
  EXPECT_EQ(form->RadioSpeed->ItemIndex, 2);
  EXPECT_EQ(form->Memo1->Lines->Strings[1], "Вторая строка");
  EXPECT_EQ(form->StringGrid1->ColWidths[1], 120);
  EXPECT_TRUE(form->StringGrid1->Options().Contains(goEditing));
  EXPECT_EQ(form->LabelResult->Font->Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(form->LabelResult->Font->Size(), 10);
  EXPECT_EQ(form->RichEdit1->Font->Name(), "Courier New");
  EXPECT_EQ(form->OpenDialog1->Filter(), "Текстовые файлы (*.txt)|*.txt|Все файлы|*.*");
  ASSERT_EQ(form->StatusBar1->Panels->Count, 2);
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text(), "Готово");
  EXPECT_EQ(form->StatusBar1->Panels->Items[1]->Width(), 50);
  EXPECT_EQ(form->Image1->Picture->Width(), 160);
  EXPECT_EQ(form->Image1->Picture->Graphic()->Pixels().size(), 160u * 120u * 3u);
  EXPECT_EQ(form->SBPicture->Glyph->Height(), 120);
  EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheetInput);
  EXPECT_EQ(form->TrackInterval->Position, 5);
  // Aligned controls: the tool bar at the top, the status bar at the bottom.
  EXPECT_EQ(form->ToolBar1->Width, 640);
  EXPECT_EQ(form->StatusBar1->Top, 450);
}

TEST_F(DemoFormTest, LifecycleRunsConstructorThenOnCreate) {
  EXPECT_EQ(form->Log.at(0), "constructor");
  EXPECT_EQ(form->Log.at(1), "FormCreate");
  EXPECT_GT(form->ControlsAtConstruction, 40);
  EXPECT_EQ(form->StatusBar1->Panels->Items[1]->Text(), "Создана");
  EXPECT_EQ(Application->MainForm(), form);
  EXPECT_TRUE(gui.widget_set().Knows(form->ButtonApply));
}

TEST_F(DemoFormTest, ClickRunsTheBoundHandler) {
  hl::Type(form->EditName, "petrov-sidorov");  // upper case, at most 8 characters
  EXPECT_EQ(form->EditName->Text(), "PETROV-S");
  hl::Pick(form->ComboPort, "COM3");
  hl::Pick(form->RadioSpeed, 3);
  hl::Click(form->ButtonApply);
  EXPECT_EQ(form->LabelResult->Caption(), "PETROV-S COM3 1 460800");
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text(), "Применено");
  EXPECT_EQ(form->ProgressBar1->Position, 10);
  EXPECT_EQ(form->Log.back(), "apply");
  EXPECT_THROW(hl::Click(form->ButtonHidden), hl::Error);
}

TEST_F(DemoFormTest, AbortInANestedCallEndsTheWholeHandlerSilently) {
  hl::Click(form->CheckConfirm);  // unticks it
  ASSERT_FALSE(form->CheckConfirm->Checked);
  std::vector<AnsiString> painted;
  gui.widget_set().SetRepaintHook(
      [&](TControl*) { painted.push_back(gui.widget_set().Painted(form->LabelResult)); });
  hl::Click(form->ButtonChain);
  EXPECT_EQ(form->Log.back(), "chain start");
  EXPECT_EQ(form->LabelResult->Caption(), "Шаг 1");
  EXPECT_EQ(painted, std::vector<AnsiString>{"Шаг 1"});  // the refresh showed it at once
  EXPECT_TRUE(responder().Shown().empty());
  // With the box ticked the chain runs to its end.
  hl::Click(form->CheckConfirm);
  hl::Click(form->ButtonChain);
  EXPECT_EQ(form->Log.back(), "chain end");
  EXPECT_EQ(form->LabelResult->Caption(), "Шаг 2");
}

TEST_F(DemoFormTest, ModalBoxesAreAnsweredAndRecorded) {
  responder().AnswerMessageBox(IDCANCEL).AnswerMessageBox(IDOK);
  hl::Click(form->ButtonShow);
  hl::Click(form->ButtonAsk);  // Cancel: Abort, no "asked"
  EXPECT_EQ(form->Log.back(), "shown");
  hl::Click(form->ButtonAsk);
  EXPECT_EQ(form->Log.back(), "asked");
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].kind, hl::ModalKind::Message);
  EXPECT_EQ(shown[0].text, "Привет из формы!");
  EXPECT_EQ(shown[1].kind, hl::ModalKind::MessageBox);
  EXPECT_EQ(shown[1].text, "Продолжить?");
  EXPECT_EQ(shown[1].caption, " ");
  EXPECT_EQ(shown[1].flags, MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(shown[1].result, IDCANCEL);
  EXPECT_EQ(shown[2].result, IDOK);
}

TEST_F(DemoFormTest, AnExceptionLeavingAHandlerIsShownAndTheFormGoesOn) {
  hl::Click(form->ButtonNumber);  // "IVANOV" is no number
  ASSERT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].kind, hl::ModalKind::Exception);
  EXPECT_EQ(responder().Shown()[0].text, "'IVANOV' is not a valid integer value.");
  hl::Type(form->EditName, "$1F");
  hl::Click(form->ButtonNumber);
  EXPECT_EQ(form->Log.back(), "number 31");
  EXPECT_EQ(responder().Shown().size(), 1u);
}

TEST_F(DemoFormTest, TrackBarChangeKeepsMultiplesOfFive) {
  hl::Move(form->TrackInterval, 23);
  EXPECT_EQ(form->TrackInterval->Position, 20);
  EXPECT_EQ(form->LabelInterval->Caption(), "20");
  hl::Move(form->TrackInterval, 1000);  // clamped to the maximum
  EXPECT_EQ(form->TrackInterval->Position, 100);
}

TEST_F(DemoFormTest, MenuOpenDialogAndTimer) {
  responder().AnswerOpenDialog("c:\\Tc\\report").CancelOpenDialog();
  hl::Click(form->MenuOpen);
  hl::Click(form->MenuOpen);
  EXPECT_EQ(form->Memo1->Lines->Count, 3);
  EXPECT_EQ(form->Memo1->Lines->Strings[2], "c:\\Tc\\report.txt");  // the default extension
  EXPECT_THROW(hl::Click(form->MenuDebug), hl::Error);              // hidden

  EXPECT_THROW(hl::FireTimer(form->Timer1), hl::Error);  // not running yet
  hl::Click(form->ToolButtonTimer);
  ASSERT_TRUE(form->Timer1->Enabled);
  hl::FireTimer(form->Timer1);
  EXPECT_EQ(form->Log.back(), "tick");
  hl::Click(form->PopupClear);
  EXPECT_EQ(form->Memo1->Lines->Count, 0);
}

TEST_F(DemoFormTest, ClosingTheMainFormEndsTheLoop) {
  form->RefuseClose = true;
  hl::Click(form->MenuExit);
  EXPECT_FALSE(Application->Terminated);
  form->RefuseClose = false;
  gui.widget_set().RunInLoop([this] { hl::Close(form); });
  Application->Run();
  EXPECT_TRUE(Application->Terminated);
  std::vector<AnsiString> tail(form->Log.end() - 3, form->Log.end());
  EXPECT_EQ(tail, (std::vector<AnsiString>{"FormCloseQuery", "FormCloseQuery", "FormClose"}));
}

TEST(DemoFormUnscripted, AModalCallWithoutAnswerFailsClearlyAndDoesNotWait) {
  hl::Session gui;
  std::vector<std::string> failures;
  gui.responder().SetFailureHandler([&](const std::string& m) { failures.push_back(m); });
  TDemoForm* form;
  Application->CreateForm<TDemoForm>(&form);
  form->Show();
  hl::Click(form->ButtonAsk);  // no answer scripted: Cancel, which aborts
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("MessageBox"), std::string::npos);
  EXPECT_EQ(gui.responder().Shown().at(0).result, IDCANCEL);
  EXPECT_FALSE(gui.responder().Shown().at(0).scripted);
  EXPECT_NE(form->Log.back(), "asked");
}
