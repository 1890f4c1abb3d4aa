// Modal boxes and dialogs: real modal widgets, answered here as a person would.
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <filesystem>

#include "dialogs.h"
#include "program_paths.h"
#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using vcl::qt::detail::FolderDialog;

using ModalTest = QtFixture;

struct Shown {
  QString title, text;
  QStringList buttons;
  QString default_button;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Records the message box and presses `press`; with a `picture` name, the screen with the box
// is kept as <build>/screenshots/<picture> first.
void AnswerBox(Shown& shown, const QString& press, const QString& picture = QString()) {
  WhenModal([&shown, press, picture](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    if (!picture.isEmpty()) {
      QDir().mkpath(QStringLiteral(VCL_QT_SCREENSHOTS));
      EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(
          QStringLiteral(VCL_QT_SCREENSHOTS "/") + picture));
    }
    shown.title = box->windowTitle();
    shown.text = box->text();
    shown.buttons = ButtonTexts(box);
    shown.default_button = box->defaultButton() ? box->defaultButton()->text() : QString();
    shown.icon = box->icon();
    ClickButton(box, press);
  });
}

TEST_F(ModalTest, MessageBoxShowsTheWindowsButtonsInRussianAndReturnsTheAnswer) {
  struct Case {
    int flags;
    QStringList buttons;
    const char* default_button;
    QMessageBox::Icon icon;
    const char* press;
    int result;
  } cases[] = {
      {MB_OK, {U("ОК")}, "ОК", QMessageBox::NoIcon, "ОК", IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION,
       {U("ОК"), U("Отмена")},
       "ОК",
       QMessageBox::Question,
       "Отмена",
       IDCANCEL},
      {MB_OKCANCEL | MB_ICONQUESTION,
       {U("ОК"), U("Отмена")},
       "ОК",
       QMessageBox::Question,
       "ОК",
       IDOK},
      {MB_YESNO | MB_ICONWARNING, {U("Да"), U("Нет")}, "Да", QMessageBox::Warning, "Нет", IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONINFORMATION,
       {U("Да"), U("Нет"), U("Отмена")},
       "Нет",
       QMessageBox::Information,
       "Да",
       IDYES},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3 | MB_ICONSTOP,
       {U("Прервать"), U("Повтор"), U("Пропустить")},
       "Пропустить",
       QMessageBox::Critical,
       "Повтор",
       IDRETRY},
      {MB_RETRYCANCEL,
       {U("Повтор"), U("Отмена")},
       "Повтор",
       QMessageBox::NoIcon,
       "Отмена",
       IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    Shown shown;
    AnswerBox(shown, U(c.press));
    int result = Application->MessageBox(C("Стереть память?"), C(" "), c.flags);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(shown.title, U(" "));
    EXPECT_EQ(shown.text, U("Стереть память?"));
    EXPECT_EQ(shown.buttons, c.buttons);
    EXPECT_EQ(shown.default_button, U(c.default_button));
    EXPECT_EQ(shown.icon, c.icon);
  }
}

TEST_F(ModalTest, ClosingABoxCountsAsCancelOrItsOnlyButton) {
  WhenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(Application->MessageBox(C("Выйти?"), "", MB_OKCANCEL), IDCANCEL);
  WhenModal([](QWidget* box) { box->close(); });
  EXPECT_EQ(Application->MessageBox(C("Готово"), "", MB_OK), IDOK);
  // Yes and No without Cancel: the box stays until one of them is pressed.
  bool stayed = false;
  WhenModal([&](QWidget* box) {
    box->close();
    QTest::keyClick(box, Qt::Key_Escape);
    stayed = box->isVisible();
    ClickButton(box, U("Нет"));
  });
  EXPECT_EQ(Application->MessageBox(C("Сохранить?"), "", MB_YESNO), IDNO);
  EXPECT_TRUE(stayed);
}

TEST_F(ModalTest, ShowMessageHasOneOkAndTheApplicationsTitle) {
  Application->Title = C("Демо");
  Shown shown;
  AnswerBox(shown, U("ОК"));
  ShowMessage(C("Прибор не отвечает..."));
  EXPECT_EQ(shown.title, U("Демо"));
  EXPECT_EQ(shown.text, U("Прибор не отвечает..."));
  EXPECT_EQ(shown.buttons, QStringList({U("ОК")}));
  EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
}

TEST_F(ModalTest, AutoAnswerTakesTheSafeDefault) {
  // As in screenshot mode, where no one answers: Cancel, else No, else the first button.
  ws.SetAutoAnswer(true);
  struct Case {
    int flags;
    int result;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL},
      {MB_YESNO, IDNO},
      {MB_YESNOCANCEL, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_ABORTRETRYIGNORE, IDABORT},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Application->MessageBox(C("Стереть?"), "", c.flags), c.result) << c.flags;
  TOpenDialog dialog(nullptr);
  EXPECT_FALSE(dialog.Execute());
  AnsiString folder = "c:\\";
  EXPECT_FALSE(SelectDirectory(folder, TSelectDirOpts{sdAllowCreate}, 0));
}

using DemoModalTest = DemoFixture;

TEST_F(DemoModalTest, AnExceptionFromAHandlerIsShownAndTheFormGoesOn) {
  AnsiString expected;
  try {
    StrToInt("IVANOV");
  } catch (const EConvertError& e) {
    expected = e.Message;
  }
  Shown shown;
  AnswerBox(shown, U("ОК"));
  QTest::mouseClick(Widget(form->ButtonNumber), Qt::LeftButton);
  EXPECT_EQ(shown.icon, QMessageBox::Critical);
  EXPECT_TRUE(shown.text.startsWith(QString::fromStdString(Utf8(expected))))
      << shown.text.toStdString();
  EXPECT_EQ(shown.buttons, QStringList({U("ОК")}));
  EXPECT_NE(form->Log.back(), "number");
  QTest::mouseClick(Widget(form->ButtonApply), Qt::LeftButton);
  EXPECT_EQ(form->Log.back(), "apply");
}

TEST_F(DemoModalTest, CancelInAQuestionEndsTheHandlerSilently) {
  Shown shown;
  AnswerBox(shown, U("Отмена"));
  QTest::mouseClick(Widget(form->ButtonAsk), Qt::LeftButton);
  EXPECT_EQ(shown.icon, QMessageBox::Question);
  EXPECT_NE(form->Log.back(), "asked");
  AnswerBox(shown, U("ОК"));
  QTest::mouseClick(Widget(form->ButtonAsk), Qt::LeftButton);
  EXPECT_EQ(form->Log.back(), "asked");
}

// A folder under the test's prefix, as a program names it and as it is on disk.
struct Folder {
  AnsiString program;
  QString real;
};

// Types a file name into the dialog's name field and presses Enter there.
void TypeFileName(QFileDialog* dialog, const QString& name) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setText(name);
  QTest::keyClick(edit, Qt::Key_Return);
}

Folder MakeFolder(const char* program_path) {
  Folder f{C(program_path), vcl::qt::detail::RealPath(C(program_path))};
  QDir().mkpath(f.real);
  return f;
}

TEST_F(DemoModalTest, OpenDialogStartsInTheProgramsFolderAndAnswersInItsTerms) {
  Folder work = MakeFolder("c:\\Tc\\WorkDir");
  QFile(work.real + "/gps_msg.txt").open(QIODevice::WriteOnly);
  form->OpenDialog1->InitialDir = work.program;
  QStringList filters;
  QString directory;
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    directory = dialog->directory().absolutePath();
    // The user types a name without extension.
    TypeFileName(dialog, QStringLiteral("gps_msg"));
  });
  ws.ActionOf(form->MenuOpen)->trigger();
  EXPECT_EQ(filters, QStringList({U("Текстовые файлы (*.txt)"), U("Все файлы (*)")}));
  EXPECT_EQ(QDir(directory).canonicalPath(), QDir(work.real).canonicalPath());
  EXPECT_EQ(form->OpenDialog1->FileName(), "c:\\Tc\\WorkDir\\gps_msg.txt");
  EXPECT_EQ(form->Memo1->Lines->Strings[form->Memo1->Lines->Count - 1](),
            "c:\\Tc\\WorkDir\\gps_msg.txt");

  // A preset name with its folder opens there, the name in the name field.
  QString preset_folder, preset_name;
  WhenModal([&](QWidget* modal) {
    auto* dialog = static_cast<QFileDialog*>(modal);
    preset_folder = dialog->directory().absolutePath();
    preset_name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    static_cast<QDialog*>(dialog)->reject();
  });
  form->OpenDialog1->InitialDir = "";
  ASSERT_FALSE(form->OpenDialog1->Execute());
  EXPECT_EQ(QDir(preset_folder).canonicalPath(), QDir(work.real).canonicalPath());
  EXPECT_EQ(preset_name, U("gps_msg.txt"));
  form->OpenDialog1->InitialDir = work.program;

  // Cancelled: nothing chosen.
  int lines = form->Memo1->Lines->Count;
  WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  ws.ActionOf(form->MenuOpen)->trigger();
  EXPECT_EQ(form->Memo1->Lines->Count(), lines);

  // A program that names absolute paths gets absolute paths back.
  QString posix = QString::fromStdString(TestPrefix()) + "/plain";
  QDir().mkpath(posix);
  form->OpenDialog1->InitialDir = AnsiString(posix.toStdString());
  form->OpenDialog1->FileName = "";  // a file name with a folder would choose the folder
  form->OpenDialog1->FilterIndex = 2;
  QString selected_filter;
  WhenModal([&](QWidget* modal) {
    auto* dialog = static_cast<QFileDialog*>(modal);
    selected_filter = dialog->selectedNameFilter();
    TypeFileName(dialog, QStringLiteral("track.log"));
  });
  ASSERT_TRUE(form->OpenDialog1->Execute());
  EXPECT_EQ(selected_filter, U("Все файлы (*)"));
  EXPECT_EQ(form->OpenDialog1->FileName().str(),
            QDir(posix).canonicalPath().toStdString() + "/track.log");
}

// Qt's own texts of the file dialog (its labels, its view buttons' tips) come in Russian beside
// the library's "Открыть"; the picture is kept as <build>/screenshots/open_dialog.png.
TEST_F(DemoModalTest, OpenDialogShowsQtsOwnTextsInRussian) {
  Folder work = MakeFolder("c:\\Tc\\WorkDir");
  form->OpenDialog1->InitialDir = work.program;
  QStringList labels;
  QString accept;
  bool saved = false;
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
      if (auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name)))
        labels << label->text();
    if (auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
      if (QPushButton* open = box->button(QDialogButtonBox::Open)) accept = open->text();
    QDir().mkpath(QStringLiteral(VCL_QT_SCREENSHOTS));
    saved = dialog->grab().save(QStringLiteral(VCL_QT_SCREENSHOTS "/open_dialog.png"));
    static_cast<QDialog*>(dialog)->reject();
  });
  ASSERT_FALSE(form->OpenDialog1->Execute());
  EXPECT_TRUE(saved);
  EXPECT_EQ(accept, U("Открыть"));
  ASSERT_EQ(labels.size(), 3);
  for (const QString& text : labels) {
    const bool russian = std::any_of(text.begin(), text.end(),
                                     [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
    EXPECT_TRUE(russian) << text.toStdString()
                         << ": Qt's Russian translations (qt6-translations-l10n) are not loaded";
  }
}

TEST_F(ModalTest, FolderBrowserShowsItsTitleAndReturnsTheChosenFolder) {
  Folder tc = MakeFolder("c:\\Tc");
  char display[MAX_PATH] = {};
  AnsiString title = C("Папка для файлов прибора");
  BROWSEINFOA info{};
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  QString shown_title;
  WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<FolderDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    shown_title = dialog->findChild<QLabel*>()->text();
    dialog->Select(tc.real, QString());
    dialog->OkButton()->click();
  });
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  ASSERT_NE(chosen, nullptr);
  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetPathFromIDListA(chosen, path));
  CoTaskMemFree(chosen);
  EXPECT_EQ(shown_title, U("Папка для файлов прибора"));
  EXPECT_STREQ(path, "C:\\Tc");

  WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
}

TEST_F(ModalTest, FolderDialogTakesATypedNewFolderAndTheLibraryCreatesIt) {
  Folder tc = MakeFolder("c:\\Tc");
  QString start_text;
  Shown question;
  WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<FolderDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    start_text = dialog->Edit()->text();
    dialog->Edit()->setText(U("c:\\Tc\\Новая"));
    // The library asks before it creates the folder.
    AnswerBox(question, U("Да"));
    dialog->OkButton()->click();
  });
  AnsiString folder = "c:\\Tc";
  ASSERT_TRUE(SelectDirectory(folder, TSelectDirOpts{sdAllowCreate, sdPerformCreate, sdPrompt}, 0));
  EXPECT_EQ(start_text, U("c:\\Tc"));
  EXPECT_EQ(folder, C("c:\\Tc\\Новая"));
  EXPECT_EQ(question.buttons, QStringList({U("Да"), U("Нет")}));
  EXPECT_TRUE(QDir(tc.real + U("/Новая")).exists());

  // Picking a folder in the tree puts its name, as the program writes it, into the edit.
  QString picked;
  WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<FolderDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->Tree()->setCurrentIndex(
        static_cast<QFileSystemModel*>(dialog->Tree()->model())->index(tc.real + U("/Новая")));
    picked = dialog->Edit()->text();
    static_cast<QDialog*>(modal)->reject();
  });
  EXPECT_FALSE(SelectDirectory(folder, TSelectDirOpts{}, 0));
  EXPECT_EQ(picked, U("c:\\Tc\\Новая"));
}

// A chosen name that no program's text names exactly is refused with its own name and why, and
// the dialog ends as cancelled: a backslash would lead to another folder ("fw\\new.hex" to
// "fw/new.hex"), a character outside the code page to "?" ("firmware_é.hex" to
// "firmware_?.hex"); both of those other files exist here. Names the code page holds pass.
TEST_F(ModalTest, OpenDialogRefusesANameTheProgramCannotCarry) {
  Folder work = MakeFolder("c:\\Tc\\Fw");
  for (const char* name :
       {"fw\\new.hex", "fw/new.hex", "firmware_é.hex", "firmware_?.hex", "Прошивка №2.hex"}) {
    QDir().mkpath(QFileInfo(work.real + "/" + U(name)).absolutePath());
    QFile file(work.real + "/" + U(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const QString canonical = QDir(work.real).canonicalPath();
  struct Case {
    const char* typed;
    const char* problem;  // nullptr: accepted
  } cases[] = {
      {"fw\\new.hex", "Знак «\\» программа читает как разделитель папок."},
      {"firmware_é.hex",
       "Знак «é» не входит в кодовую страницу 1251: программа получила бы «?» на его месте."},
      {"Прошивка №2.hex", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TOpenDialog dialog(nullptr);
    dialog.InitialDir = work.program;
    dialog.FileName = "earlier.hex";
    Shown refusal;
    WhenModal([&](QWidget* modal) {
      auto* file_dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(file_dialog, nullptr);
      if (c.problem) AnswerBox(refusal, U("ОК"));
      TypeFileName(file_dialog, U(c.typed));
    });
    const bool chosen = dialog.Execute();
    if (c.problem) {
      EXPECT_FALSE(chosen);
      EXPECT_EQ(dialog.FileName(), "earlier.hex");
      EXPECT_EQ(refusal.text, U("Программа не может работать с файлом под этим именем:\n") +
                                  canonical + "/" + U(c.typed) + "\n" + U(c.problem));
      EXPECT_EQ(refusal.icon, QMessageBox::Warning);
      EXPECT_EQ(refusal.buttons, QStringList{U("ОК")});
    } else {
      EXPECT_TRUE(chosen);
      EXPECT_EQ(dialog.FileName(), C("c:\\Tc\\Fw\\Прошивка №2.hex"));
    }
  }
}

// The folder choices refuse the same: a folder picked in the tree (shown in the edit as the file
// system names it), a folder typed into the edit, and the shell's folder browser.
TEST_F(ModalTest, FolderChoicesRefuseANameTheProgramCannotCarry) {
  Folder tc = MakeFolder("c:\\Tc");
  const QString cafe = tc.real + U("/café"), slashed = tc.real + U("/fw\\new");
  QDir().mkpath(cafe);
  QDir().mkpath(slashed);
  QDir().mkpath(tc.real + U("/caf?"));
  const QString outside =
      U("Знак «é» не входит в кодовую страницу 1251: программа получила бы «?» "
        "на его месте.");
  const QString separator = U("Знак «\\» программа читает как разделитель папок.");

  auto pick = [](FolderDialog* dialog, const QString& real) {
    auto* model = static_cast<QFileSystemModel*>(dialog->Tree()->model());
    dialog->Tree()->setCurrentIndex(model->index(real));
  };
  struct Case {
    const char* what;
    std::function<void(FolderDialog*)> choose;
    QString shown, problem;
  } cases[] = {
      {"picked", [&](FolderDialog* d) { pick(d, cafe); }, QDir(cafe).canonicalPath(), outside},
      {"picked with a backslash", [&](FolderDialog* d) { pick(d, slashed); },
       QDir(slashed).canonicalPath(), separator},
      {"typed", [](FolderDialog* d) { d->Edit()->setText(U("c:\\Tc\\café")); }, U("c:\\Tc\\café"),
       outside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Shown refusal;
    QString in_edit;
    WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<FolderDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      c.choose(dialog);
      in_edit = dialog->Edit()->text();
      AnswerBox(refusal, U("ОК"), &c == cases ? U("folder_name_refused.png") : QString());
      dialog->OkButton()->click();
    });
    AnsiString folder = "c:\\Tc";
    EXPECT_FALSE(SelectDirectory(folder, TSelectDirOpts{}, 0));
    EXPECT_EQ(folder, "c:\\Tc");
    EXPECT_EQ(in_edit, c.shown);
    EXPECT_EQ(refusal.text, U("Программа не может работать с папкой под этим именем:\n") + c.shown +
                                "\n" + c.problem);
  }

  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.pszDisplayName = display;
  info.lpszTitle = "";
  Shown refusal;
  WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<FolderDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    pick(dialog, slashed);
    AnswerBox(refusal, U("ОК"));
    dialog->OkButton()->click();
  });
  EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
  EXPECT_EQ(refusal.text, U("Программа не может работать с папкой под этим именем:\n") +
                              QDir(slashed).canonicalPath() + "\n" + separator);
}

TEST(NameFilters, WindowsFiltersBecomeQtFilters) {
  struct Case {
    const char* filter;
    QStringList expected;
  } cases[] = {
      {"Text|*.txt", {"Text (*.txt)"}},
      {"Text files (*.txt)|*.txt|All|*.*", {"Text files (*.txt)", "All (*)"}},
      {"Firmware|*.hex;*.HEX", {"Firmware (*.hex *.HEX)"}},
      {"", {}},
      {"Broken", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(vcl::qt::detail::NameFilters(c.filter), c.expected);
  }
}

TEST(ProgramPaths, RealPathsGoBackToTheProgramsTerms) {
  using vcl::qt::detail::ProgramPath;
  using vcl::qt::detail::RealPath;
  QString drive_c = RealPath("c:\\");
  QDir().mkpath(drive_c + "/Tc/WorkDir");
  QString outside = QString::fromStdString(TestPrefix()) + "/elsewhere";
  QDir().mkpath(outside);
  QString canonical_c = QDir(drive_c).canonicalPath();
  QString canonical_outside = QDir(outside).canonicalPath();
  struct Case {
    QString real;
    const char* composed;
    QString expected;
  } cases[] = {
      {drive_c + "/Tc/WorkDir/gps_msg.txt", "c:\\Tc\\WorkDir", "c:\\Tc\\WorkDir\\gps_msg.txt"},
      {drive_c + "/Tc/WorkDir", "C:\\", "C:\\Tc\\WorkDir"},
      {drive_c + "/Tc", "", "C:\\Tc"},
      {drive_c, "c:", "c:\\"},
      {drive_c + "/Tc/../Tc/WorkDir", "c:\\", "c:\\Tc\\WorkDir"},
      // A file to be written does not exist yet.
      {drive_c + "/Tc/new.txt", "c:\\", "c:\\Tc\\new.txt"},
      // Outside every drive, and for a program that names absolute paths: the path itself.
      {outside + "/a.txt", "c:\\Tc", canonical_outside + "/a.txt"},
      {drive_c + "/Tc/a.txt", "/abs", canonical_c + "/Tc/a.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.real.toStdString());
    EXPECT_EQ(ProgramPath(c.real, c.composed).str(), c.expected.toStdString());
  }
}

}  // namespace
}  // namespace vcl_qt_test
