// The widgets show the controls' properties: at first, and after each change.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using MirrorTest = DemoFixture;

QStringList ComboItems(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QStringList LabelTexts(QWidget* parent) {
  QStringList texts;
  for (QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (l->isVisibleTo(parent)) texts << l->text();
  return texts;
}

QList<QRadioButton*> Radios(QWidget* group) {
  return group->findChildren<QRadioButton*>();
}

TEST_F(MirrorTest, EveryControlIsAWidgetInItsParentWhereTheLibraryPlacesIt) {
  int controls = 0;
  for (int i = 0; i < form->ComponentCount; ++i) {
    auto* c = dynamic_cast<TControl*>(form->Components[i]);
    if (!c) continue;
    ++controls;
    SCOPED_TRACE(Utf8(c->Name));
    QWidget* w = Widget(c);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), QString::fromStdString(Utf8(c->Name)));
    QWidget* parent = Widget(c->Parent());
    ASSERT_NE(parent, nullptr);
    // The form's controls sit in its client area, below the menu bar.
    if (c->Parent() == form) parent = parent->findChild<QWidget*>(QStringLiteral("client"));
    EXPECT_EQ(w->parentWidget(), parent);
    QRect bounds(c->Left, c->Top, c->Width, c->Height);
    auto* sheet = dynamic_cast<TTabSheet*>(c);
    if (sheet && bounds.isEmpty()) {
      // A sheet the library did not size fills its page control below the tabs.
      TPageControl* pages = sheet->PageControl();
      EXPECT_EQ(w->geometry(), QRect(4, 24, pages->Width - 8, pages->Height - 28));
    } else if ((dynamic_cast<TLabel*>(c) && c->AutoSize) || dynamic_cast<TToolButton*>(c)) {
      // Auto-sized labels and tool buttons with captions grow to show their texts.
      EXPECT_TRUE(w->geometry().contains(bounds));
      EXPECT_GE(w->width(), w->sizeHint().width());
    } else {
      EXPECT_EQ(w->geometry(), bounds);
    }
  }
  EXPECT_GT(controls, 30);
  QWidget* client = Widget(form)->findChild<QWidget*>(QStringLiteral("client"));
  EXPECT_EQ(client->size(), QSize(form->ClientWidth, form->ClientHeight));
}

TEST_F(MirrorTest, WidgetsShowTheDescriptionsValues) {
  QWidget* window = Widget(form);
  EXPECT_EQ(window->windowTitle(), U("Демонстрация 'VCL' — форма"));
  EXPECT_EQ(Widget<QLabel>(form->LabelName)->text(), U("&Имя:"));
  EXPECT_EQ(Widget<QLabel>(form->LabelName)->buddy(), Widget(form->EditName));
  EXPECT_EQ(Widget<QLineEdit>(form->EditName)->text(), U("IVANOV"));
  EXPECT_EQ(Widget(form->EditName)->toolTip(), U("Имя латиницей, не больше 8 букв"));

  auto* port = Widget<QComboBox>(form->ComboPort);
  EXPECT_EQ(ComboItems(port), QStringList({"COM10", "COM2", "COM3"}));
  EXPECT_EQ(port->currentIndex(), 0);
  EXPECT_FALSE(port->isEditable());
  auto* command = Widget<QComboBox>(form->ComboCommand);
  EXPECT_TRUE(command->isEditable());
  EXPECT_EQ(command->currentText(), U("AT+CSQ"));

  EXPECT_TRUE(Widget<QCheckBox>(form->CheckConfirm)->isChecked());
  EXPECT_EQ(Widget(form->SpinCount)->findChild<QLineEdit*>()->text(), U("1"));
  auto* track = Widget<QSlider>(form->TrackInterval);
  EXPECT_EQ(track->minimum(), 5);
  EXPECT_EQ(track->maximum(), 100);
  EXPECT_EQ(track->value(), 5);
  EXPECT_EQ(track->tickPosition(), QSlider::TicksBothSides);

  auto* radio = Widget<QGroupBox>(form->RadioSpeed);
  EXPECT_EQ(radio->title(), U("Скорость"));
  QList<QRadioButton*> radios = Radios(radio);
  ASSERT_EQ(radios.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(radios[i]->isChecked(), i == 2) << i;
  EXPECT_EQ(radios[2]->text(), U("115200"));
  // Two columns: the third item heads the second column.
  EXPECT_GT(radios[2]->x(), radios[0]->x());
  EXPECT_EQ(radios[2]->y(), radios[0]->y());

  auto* grid = Widget<QTableWidget>(form->StringGrid1);
  ASSERT_EQ(grid->rowCount(), 6);
  ASSERT_EQ(grid->columnCount(), 3);
  EXPECT_EQ(grid->item(0, 1)->text(), U("Вход"));
  EXPECT_EQ(grid->item(2, 1)->text(), U("20"));
  EXPECT_EQ(grid->columnWidth(1), 120);
  EXPECT_EQ(grid->rowHeight(1), 20);
  EXPECT_FALSE(grid->item(0, 1)->flags() & Qt::ItemIsEditable) << "a fixed cell";
  EXPECT_TRUE(grid->item(2, 1)->flags() & Qt::ItemIsEditable);

  EXPECT_EQ(Widget<QPlainTextEdit>(form->Memo1)->toPlainText(), U("Первая строка\nВторая строка"));
  auto* rich = Widget<QPlainTextEdit>(form->RichEdit1);
  EXPECT_TRUE(QFontInfo(rich->font()).fixedPitch());
  EXPECT_EQ(rich->palette().color(QPalette::Text), QColor(0, 0, 0x80));

  EXPECT_EQ(LabelTexts(Widget(form->StatusBar1)), QStringList({U("Готово"), U("Создана")}));
  auto* tabs = Widget(form->PageControl1)->findChild<QTabBar*>();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(2), U("Журнал"));
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_TRUE(Widget(form->TabSheetInput)->isVisible());
  EXPECT_FALSE(Widget(form->TabSheetGrid)->isVisible());
  EXPECT_FALSE(Widget(form->ButtonHidden)->isVisible());

  QFont result = Widget(form->LabelResult)->font();
  EXPECT_TRUE(result.bold());
  EXPECT_TRUE(result.italic());
  EXPECT_EQ(Widget(form->LabelResult)->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));

  auto* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[0]->text(), U("&Файл"));
  EXPECT_FALSE(ws.ActionOf(form->MenuDebug)->isVisible());
  EXPECT_TRUE(ws.ActionOf(form->MenuSeparator)->isSeparator());
  EXPECT_EQ(ws.ActionOf(form->MenuOpen)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(ws.ActionOf(form->MenuFile)->menu()->actions().size(), 3);

  EXPECT_TRUE(Widget<QToolButton>(form->ToolButtonTimer)->isCheckable());
  EXPECT_FALSE(Widget<QToolButton>(form->SBPicture)->icon().isNull());
  EXPECT_EQ(Widget<QProgressBar>(form->ProgressBar1)->maximum(), 100);
}

TEST_F(MirrorTest, ChangesReachTheWidgets) {
  QImage picture;
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<void()> check;
  };
  Case cases[] = {
      {"caption", [&] { form->LabelResult->Caption = C("Готово!"); },
       [&] { EXPECT_EQ(Widget<QLabel>(form->LabelResult)->text(), U("Готово!")); }},
      {"form caption", [&] { form->Caption = C("Новая"); },
       [&] { EXPECT_EQ(Widget(form)->windowTitle(), U("Новая")); }},
      {"visible", [&] { form->ButtonApply->Visible = false; },
       [&] { EXPECT_FALSE(Widget(form->ButtonApply)->isVisible()); }},
      {"visible again", [&] { form->ButtonApply->Visible = true; },
       [&] { EXPECT_TRUE(Widget(form->ButtonApply)->isVisible()); }},
      {"enabled", [&] { form->EditName->Enabled = false; },
       [&] { EXPECT_FALSE(Widget(form->EditName)->isEnabled()); }},
      {"hint", [&] { form->ButtonShow->Hint = C("Показать|Показывает сообщение"); },
       [&] {
         EXPECT_EQ(Widget(form->ButtonShow)->toolTip(), U("Показать"));
         EXPECT_EQ(Widget(form->ButtonShow)->accessibleDescription(), U("Показывает сообщение"));
       }},
      {"no hints", [&] { form->ShowHint = false; },
       [&] { EXPECT_TRUE(Widget(form->EditName)->toolTip().isEmpty()); }},
      {"font",
       [&] {
         form->LabelPort->Font->Style = TFontStyles{fsBold};
         form->LabelPort->Font->Color = clRed;
       },
       [&] {
         EXPECT_TRUE(Widget(form->LabelPort)->font().bold());
         EXPECT_EQ(Widget(form->LabelPort)->palette().color(QPalette::WindowText),
                   QColor(255, 0, 0));
       }},
      {"colour", [&] { form->PanelActions->Color = clYellow; },
       [&] {
         EXPECT_EQ(Widget(form->PanelActions)->palette().color(QPalette::Window),
                   QColor(255, 255, 0));
       }},
      {"bounds", [&] { form->PanelActions->SetBounds(20, 350, 600, 90); },
       [&] { EXPECT_EQ(Widget(form->PanelActions)->geometry(), QRect(20, 350, 600, 90)); }},
      {"memo line added", [&] { form->Memo1->Lines->Add(C("Третья")); },
       [&] {
         EXPECT_EQ(Widget<QPlainTextEdit>(form->Memo1)->toPlainText(),
                   U("Первая строка\nВторая строка\nТретья"));
       }},
      {"memo text", [&] { form->Memo1->Text = C("один\r\nдва"); },
       [&] { EXPECT_EQ(Widget<QPlainTextEdit>(form->Memo1)->toPlainText(), U("один\nдва")); }},
      {"memo cleared", [&] { form->Memo1->Clear(); },
       [&] { EXPECT_TRUE(Widget<QPlainTextEdit>(form->Memo1)->toPlainText().isEmpty()); }},
      {"combo index", [&] { form->ComboPort->ItemIndex = 2; },
       [&] { EXPECT_EQ(Widget<QComboBox>(form->ComboPort)->currentText(), U("COM3")); }},
      {"combo none", [&] { form->ComboPort->ItemIndex = -1; },
       [&] { EXPECT_EQ(Widget<QComboBox>(form->ComboPort)->currentIndex(), -1); }},
      {"combo item added", [&] { form->ComboPort->Items->Add(C("COM1")); },
       [&] {
         EXPECT_EQ(ComboItems(Widget<QComboBox>(form->ComboPort)),
                   QStringList({"COM1", "COM10", "COM2", "COM3"}));
       }},
      {"combo text", [&] { form->ComboCommand->Text = C("ATZ"); },
       [&] { EXPECT_EQ(Widget<QComboBox>(form->ComboCommand)->currentText(), U("ATZ")); }},
      {"check", [&] { form->CheckConfirm->Checked = false; },
       [&] { EXPECT_FALSE(Widget<QCheckBox>(form->CheckConfirm)->isChecked()); }},
      {"radio", [&] { form->RadioSpeed->ItemIndex = 0; },
       [&] {
         QList<QRadioButton*> radios = Radios(Widget(form->RadioSpeed));
         EXPECT_TRUE(radios[0]->isChecked());
         EXPECT_FALSE(radios[2]->isChecked());
       }},
      {"radio none", [&] { form->RadioSpeed->ItemIndex = -1; },
       [&] {
         for (QRadioButton* r : Radios(Widget(form->RadioSpeed))) EXPECT_FALSE(r->isChecked());
       }},
      {"radio items", [&] { form->RadioSpeed->Items->Add(C("921600")); },
       [&] { EXPECT_EQ(Radios(Widget(form->RadioSpeed)).size(), 5); }},
      {"track position", [&] { form->TrackInterval->Position = 50; },
       [&] { EXPECT_EQ(Widget<QSlider>(form->TrackInterval)->value(), 50); }},
      {"track range", [&] { form->TrackInterval->Max = 40; },
       [&] {
         EXPECT_EQ(Widget<QSlider>(form->TrackInterval)->maximum(), 40);
         EXPECT_EQ(Widget<QSlider>(form->TrackInterval)->value(), 40);
       }},
      {"progress", [&] { form->ProgressBar1->Position = 40; },
       [&] { EXPECT_EQ(Widget<QProgressBar>(form->ProgressBar1)->value(), 40); }},
      {"spin value", [&] { form->SpinCount->Value = 3; },
       [&] { EXPECT_EQ(Widget(form->SpinCount)->findChild<QLineEdit*>()->text(), U("3")); }},
      {"status panel", [&] { form->StatusBar1->Panels->Items[0]->Text = C("Связь"); },
       [&] { EXPECT_EQ(LabelTexts(Widget(form->StatusBar1)).value(0), U("Связь")); }},
      {"simple status",
       [&] {
         form->StatusBar1->SimplePanel = true;
         form->StatusBar1->SimpleText = C("Одна строка");
       },
       [&] { EXPECT_EQ(LabelTexts(Widget(form->StatusBar1)), QStringList({U("Одна строка")})); }},
      {"active page", [&] { form->PageControl1->ActivePage = form->TabSheetLog; },
       [&] {
         EXPECT_EQ(Widget(form->PageControl1)->findChild<QTabBar*>()->currentIndex(), 2);
         EXPECT_TRUE(Widget(form->TabSheetLog)->isVisible());
         EXPECT_FALSE(Widget(form->TabSheetInput)->isVisible());
       }},
      {"tab caption", [&] { form->TabSheetGrid->Caption = C("Калибровка"); },
       [&] {
         EXPECT_EQ(Widget(form->PageControl1)->findChild<QTabBar*>()->tabText(1), U("Калибровка"));
       }},
      {"grid cell", [&] { form->StringGrid1->Cells[2][3] = C("x"); },
       [&] { EXPECT_EQ(Widget<QTableWidget>(form->StringGrid1)->item(3, 2)->text(), U("x")); }},
      {"grid size", [&] { form->StringGrid1->RowCount = 8; },
       [&] {
         EXPECT_EQ(Widget<QTableWidget>(form->StringGrid1)->rowCount(), 8);
         EXPECT_EQ(Widget<QTableWidget>(form->StringGrid1)->item(3, 2)->text(), U("x"));
       }},
      {"menu item",
       [&] {
         form->MenuDebug->Visible = true;
         form->MenuOpen->Enabled = false;
         form->MenuExit->Caption = C("Закрыть");
       },
       [&] {
         EXPECT_TRUE(ws.ActionOf(form->MenuDebug)->isVisible());
         EXPECT_FALSE(ws.ActionOf(form->MenuOpen)->isEnabled());
         EXPECT_EQ(ws.ActionOf(form->MenuExit)->text(), U("Закрыть"));
       }},
      {"menu item added",
       [&] {
         auto* item = new TMenuItem(form);
         item->Caption = C("Сохранить");
         form->MenuFile->Insert(1, item);
       },
       [&] {
         QList<QAction*> actions = ws.ActionOf(form->MenuFile)->menu()->actions();
         ASSERT_EQ(actions.size(), 4);
         EXPECT_EQ(actions[1]->text(), U("Сохранить"));
       }},
      {"menu item removed", [&] { delete form->MenuSeparator; },
       [&] { EXPECT_EQ(ws.ActionOf(form->MenuFile)->menu()->actions().size(), 3); }},
      {"picture cleared",
       [&] {
         picture = Widget(form->Image1)->grab().toImage();
         form->Image1->Picture->Clear();
       },
       [&] { EXPECT_NE(Widget(form->Image1)->grab().toImage(), picture); }},
      {"tool button down", [&] { form->ToolButtonTimer->Down = true; },
       [&] { EXPECT_TRUE(Widget<QToolButton>(form->ToolButtonTimer)->isChecked()); }},
      {"hidden form", [&] { form->Hide(); }, [&] { EXPECT_FALSE(Widget(form)->isVisible()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    c.check();
  }
}

TEST_F(MirrorTest, ZOrderFollowsTheLibraryWithGraphicControlsBelowWindowControls) {
  QWidget* panel = Widget(form->PanelActions);
  auto order = [&] {
    QStringList names;
    for (QObject* child : panel->children())
      if (auto* w = qobject_cast<QWidget*>(child); w && !w->objectName().isEmpty())
        names << w->objectName();
    return names;
  };
  form->ButtonShow->BringToFront();
  EXPECT_EQ(order().last(), QStringLiteral("ButtonShow"));
  form->ButtonShow->SendToBack();
  QStringList names = order();
  // A label is painted on its parent, under every window control.
  EXPECT_EQ(names.first(), QStringLiteral("LabelResult"));
  EXPECT_EQ(names.indexOf(QStringLiteral("ButtonShow")), 1);
  form->LabelResult->BringToFront();
  EXPECT_EQ(order().first(), QStringLiteral("LabelResult"));
}

TEST_F(MirrorTest, ControlsMadeByCodeAppearAndGo) {
  auto* edit = new TEdit(form);
  edit->Name = "EditExtra";
  edit->SetBounds(10, 250, 100, 22);
  edit->Text = C("новое");
  edit->Parent = form->TabSheetInput;
  QLineEdit* line = Widget<QLineEdit>(edit);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->parentWidget(), Widget(form->TabSheetInput));
  EXPECT_EQ(line->text(), U("новое"));
  EXPECT_TRUE(line->isVisible());
  // Moving it to another parent.
  edit->Parent = form->PanelActions;
  line = Widget<QLineEdit>(edit);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->parentWidget(), Widget(form->PanelActions));
  delete edit;
  EXPECT_EQ(Widget(edit), nullptr);
  EXPECT_EQ(Widget(form->PanelActions)->findChild<QLineEdit*>(QStringLiteral("EditExtra")),
            nullptr);
}

}  // namespace
}  // namespace vcl_qt_test
