// Unusual paths the program is given. The settings file beside the program: a folder whose name
// the code page cannot carry ("café") or that holds a backslash is told at the start and nothing
// is written anywhere (not even into a folder named as the code page would show it); a path
// longer than MAX_PATH keeps its settings under the whole name. The INI file's name comes from the
// program's own path, set here as the file system names it. And a FIFO chosen with "Выбор Файла"
// is refused at once instead of holding the window until a writer comes.
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "platform/cp1251.h"
#include "trakmon_fixture.h"

namespace fs = std::filesystem;
using vcl::headless::ModalKind;

namespace {

class ProgramPathTest : public TrakmonTest {
 protected:
  // Every file under the sandbox.
  std::set<std::string> Files() const {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir()))
      if (entry.is_regular_file()) files.insert(entry.path().string());
    return files;
  }

  // Starts the program from `folder` (created), changes a setting and closes the window.
  void StartChangeAndClose(const std::string& folder) {
    fs::create_directories(folder);
    platform::testing::SetModuleFileName(folder + "/Trakmon");
    TML_Form* form = CreateMainForm();
    form->PortIndex = 5;
    vcl::headless::Close(form);
    vcl::ResetApplication();
    ML_Form = nullptr;
  }
};

TEST_F(ProgramPathTest, AFolderTheProgramCannotNameIsToldAtTheStartAndNothingIsWritten) {
  struct Case {
    std::string folder;  // UTF-8, under the sandbox
    std::string trap;    // the folder a text with "?" or a separator would name
    std::string problem;
  } cases[] = {
      {"caf\xC3\xA9", "caf?", "знак U+00E9 (на месте \"?\") не входит в кодовую страницу 1251"},
      {"fw\\new", "fw/new",
       "знак \"\\\" стоит в имени, а программа читает его как разделитель папок"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    responder().ClearShown();
    fs::create_directories(dir() + "/" + c.trap);
    const std::set<std::string> before = Files();
    StartChangeAndClose(dir() + "/" + c.folder);

    const AnsiString shown_path =
        AnsiString(platform::Utf8ToCp1251(dir() + "/" + c.folder + "/Trakmon"));
    EXPECT_EQ(responder().Texts(ModalKind::Message),
              std::vector<AnsiString>{"Настройки не будут сохранены: в пути программы \"" +
                                      shown_path + "\" " + AnsiString(c.problem) + "."});
    // Only that message: the close writes nothing and says nothing more.
    EXPECT_EQ(responder().Shown().size(), 1u);
    EXPECT_EQ(Files(), before);
  }
}

TEST_F(ProgramPathTest, APathLongerThanMaxPathKeepsItsSettingsUnderTheWholeName) {
  std::string folder = dir();
  while (folder.size() < 300) folder += "/" + std::string(60, 'd');
  const std::set<std::string> before = Files();
  StartChangeAndClose(folder);
  EXPECT_TRUE(responder().Shown().empty());
  std::set<std::string> expected = before;
  expected.insert(folder + "/Trakmon.INI");
  EXPECT_EQ(Files(), expected);

  // The next start reads what the last one kept.
  platform::testing::SetModuleFileName(folder + "/Trakmon");
  EXPECT_EQ(CreateMainForm()->PortIndex, 5);
}

TEST_F(ProgramPathTest, AChosenFifoIsRefusedAtOnce) {
  TML_Form* form = CreateMainForm();
  const std::string fifo = dir() + "/gps_msg.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  vcl::headless::Click(form->track_panel);
  responder().AnswerOpenDialog(AnsiString(fifo));
  vcl::headless::Click(form->SBConversion);
  EXPECT_EQ(responder().Texts(ModalKind::Exception),
            std::vector<AnsiString>{"Cannot open file \"" + AnsiString(fifo) +
                                    "\". Not a regular file."});
  EXPECT_EQ(responder().Pending(), 0u);
}

}  // namespace
