// What a screen reader meets: each control's role, its name (caption, else hint, else the
// label beside it), its hint as description, and the label that names an edit; and what it
// sets reaches the controls.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <functional>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using AccessibilityTest = DemoFixture;

QAccessibleInterface* Accessible(QWidget* w) {
  return QAccessible::queryAccessibleInterface(w);
}

TEST_F(AccessibilityTest, ControlsHaveRolesNamesAndDescriptions) {
  struct Case {
    TComponent* control;
    QAccessible::Role role;
    const char* name;
    const char* description;
  } cases[] = {
      {form, QAccessible::Window, "Демонстрация 'VCL' — форма", ""},
      {form->ButtonApply, QAccessible::Button, "Применить", ""},
      {form->LabelName, QAccessible::StaticText, "Имя:", ""},
      // A picture-only button and edits are named by their hints.
      {form->SBPicture, QAccessible::Button, "Картинка", "Картинка"},
      {form->EditName, QAccessible::EditableText, "Имя латиницей, не больше 8 букв",
       "Имя латиницей, не больше 8 букв"},
      {form->SpinCount, QAccessible::SpinBox, "От 1 до 3", "От 1 до 3"},
      {form->TrackInterval, QAccessible::Slider, "Интервал, кратный 5", "Интервал, кратный 5"},
      // Without a hint, the label beside the control names it. (A combo box's name on the bus
      // is its text, as Qt does it on Linux; readers take its label from the relation.)
      {form->ComboPort, QAccessible::ComboBox, "COM10", ""},
      {form->ComboCommand, QAccessible::ComboBox, "AT+CSQ", ""},
      {form->CheckConfirm, QAccessible::CheckBox, "Подтверждать действия", ""},
      {form->RadioSpeed, QAccessible::Grouping, "Скорость", ""},
      // A tool button that stays down is a toggle.
      {form->ToolButtonTimer, QAccessible::CheckBox, "Таймер", "Запустить или остановить таймер"},
      {form->ToolBar1, QAccessible::ToolBar, "", ""},
      {form->StatusBar1, QAccessible::StatusBar, "", ""},
      {form->PanelActions, QAccessible::Pane, "", ""},
      {form->Image1, QAccessible::Graphic, "Дорога", "Дорога"},
      // Qt names an unnamed widget in a group box after the group.
      {form->Bevel1, QAccessible::Separator, "Режим", ""},
      {form->StringGrid1, QAccessible::Table, "", ""},
      {form->ProgressBar1, QAccessible::ProgressBar, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.control->Name));
    QAccessibleInterface* iface = Accessible(Widget(c.control));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), c.role);
    EXPECT_EQ(iface->text(QAccessible::Name), U(c.name));
    EXPECT_EQ(iface->text(QAccessible::Description), U(c.description));
  }
}

TEST_F(AccessibilityTest, EditsAreTiedToTheLabelBesideThem) {
  struct Case {
    TControl* control;
    TLabel* label;
  } cases[] = {
      {form->EditName, form->LabelName},   // FocusControl
      {form->ComboPort, form->LabelPort},  // found beside it
      {form->SpinCount, form->LabelCount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.control->Name));
    EXPECT_EQ(Widget(c.control)->accessibleName(),
              c.control->Hint().IsEmpty() ? Widget<QLabel>(c.label)->text().remove(u'&')
                                          : QString::fromStdString(Utf8(c.control->Hint)));
    QAccessibleInterface* iface = Accessible(Widget(c.control));
    ASSERT_NE(iface, nullptr);
    auto relations = iface->relations(QAccessible::Label);
    ASSERT_EQ(relations.size(), 1);
    EXPECT_EQ(relations[0].first->object(), Widget(c.label));
    EXPECT_EQ(Widget<QLabel>(c.label)->buddy(), Widget(c.control));
  }
  // A label far from any edit names nothing; a moved label follows its new neighbour.
  EXPECT_EQ(Widget<QLabel>(form->LabelInterval)->buddy(), nullptr);
  form->LabelPort->SetBounds(8, 136, 80, 14);
  form->LabelCount->SetBounds(8, 44, 80, 14);
  // The labels are tied again once the loop runs.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Widget<QLabel>(form->LabelPort)->buddy() == Widget(form->SpinCount); }, 5000));
  EXPECT_EQ(Widget<QLabel>(form->LabelCount)->buddy(), Widget(form->ComboPort));
  EXPECT_EQ(Widget(form->ComboPort)->accessibleName(), U("Число:"));
}

TEST_F(AccessibilityTest, ItemsCarryTheirTexts) {
  // Tabs, radio items, status panels and menu items are named by their texts.
  auto* tabs = Widget(form->PageControl1)->findChild<QTabBar*>();
  QAccessibleInterface* tab_list = Accessible(tabs);
  ASSERT_NE(tab_list, nullptr);
  QStringList tab_names;
  for (int i = 0; i < tab_list->childCount(); ++i)
    if (tab_list->child(i)->role() == QAccessible::PageTab)
      tab_names << tab_list->child(i)->text(QAccessible::Name);
  EXPECT_EQ(tab_names, QStringList({U("Поля ввода"), U("Таблица"), U("Журнал")}));

  QAccessibleInterface* radio = Accessible(Widget(form->RadioSpeed));
  QStringList radio_names;
  for (int i = 0; i < radio->childCount(); ++i)
    if (radio->child(i)->role() == QAccessible::RadioButton)
      radio_names << radio->child(i)->text(QAccessible::Name);
  EXPECT_EQ(radio_names, QStringList({"9600", "38400", "115200", "460800"}));

  QAccessibleInterface* status = Accessible(Widget(form->StatusBar1));
  QStringList panels;
  for (int i = 0; i < status->childCount(); ++i)
    panels << status->child(i)->text(QAccessible::Name);
  EXPECT_EQ(panels, QStringList({U("Готово"), U("Создана")}));

  form->Hint = C("Главное окно");
  EXPECT_EQ(Accessible(Widget(form))->text(QAccessible::Description), U("Главное окно"));
}

// A screen reader or desktop automation changes what a control holds, not only its widget:
// the program must send what the window shows.
TEST_F(AccessibilityTest, ValuesSetThroughTheInterfaceReachTheControls) {
  struct Case {
    const char* what;
    QWidget* text_widget;
    const char* text;
    std::function<AnsiString()> held;
    const char* expected;
  } cases[] = {
      // Through the edit's own rules (upper case, at most 8 letters) and its OnChange.
      {"edit", Widget(form->EditName), "sidorovich", [&] { return form->EditName->Text(); },
       "SIDOROVI"},
      {"editable combo box", Widget<QComboBox>(form->ComboCommand)->lineEdit(), "AT+CREG?",
       [&] { return form->ComboCommand->Text(); }, "AT+CREG?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(c.text_widget, nullptr);
    QAccessibleInterface* iface = Accessible(c.text_widget);
    ASSERT_NE(iface, nullptr);
    iface->setText(QAccessible::Value, U(c.text));
    EXPECT_EQ(c.held(), C(c.expected));
  }
  // Automation that sets the spin edit's text on its widget.
  Widget(form->SpinCount)->findChild<QLineEdit*>()->setText(QStringLiteral("2"));
  EXPECT_EQ(form->SpinCount->Value(), 2);
  EXPECT_EQ(Widget<QLineEdit>(form->EditName)->text(), U("SIDOROVI"));
  EXPECT_EQ(form->Log.back(), "name SIDOROVI");

  // A check box toggled and a radio item checked by their accessible actions.
  QAccessibleInterface* check = Accessible(Widget(form->CheckConfirm));
  ASSERT_NE(check->actionInterface(), nullptr);
  check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_FALSE(form->CheckConfirm->Checked());
  EXPECT_FALSE(Widget<QCheckBox>(form->CheckConfirm)->isChecked());
  QList<QRadioButton*> radios = Widget(form->RadioSpeed)->findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 4);
  radios[0]->setChecked(true);
  EXPECT_EQ(form->RadioSpeed->ItemIndex(), 0);
  EXPECT_FALSE(radios[2]->isChecked());

  // An item chosen without a click in the list.
  auto* port = Widget<QComboBox>(form->ComboPort);
  port->setCurrentIndex(2);
  EXPECT_EQ(form->ComboPort->ItemIndex(), 2);
  EXPECT_EQ(form->ComboPort->Text(), "COM3");
}

}  // namespace
}  // namespace vcl_qt_test
