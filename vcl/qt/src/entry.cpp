// The programs' entry point: main() around the program's WinMain.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string>

#include "platform/cp1251.h"
#include "platform/crt.h"
#include "vcl/qt_widgetset.h"
#include "vcl/session_end.h"
#include "vcl/winmain.h"

namespace vcl::qt {

namespace {

// The command line after the program name, as Windows hands it to WinMain.
std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i > 1) line += ' ';
    line += arg.find(' ') == std::string::npos ? arg : '"' + arg + '"';
  }
  return platform::Utf8ToCp1251(line);
}

}  // namespace

int RunProgram(int argc, char** argv) {
  crt::KeepFreedHeapMemory();
  QApplication app(argc, argv);
  // QApplication took the C library's locale from the environment; the programs' sscanf
  // ("%f"), atof and printf keep the C number forms.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  if (!InstallQtTranslations())
    std::fprintf(stderr,
                 "vcl_qt: Qt's Russian translations are not installed (qt6-translations-l10n); "
                 "the file dialogs show Qt's English texts\n");

  int result = 1;
  {
    // The end of the session closes the main form as its title bar does; kept past the
    // widget set that watches it.
    SessionEndSignals session_end;
    QtWidgetSet widget_set;
    widget_set.WatchSessionEnd(&session_end);
    QByteArray screenshots = qgetenv("VCL_SCREENSHOT_DIR");
    if (!screenshots.isEmpty()) widget_set.SetScreenshotDir(QString::fromLocal8Bit(screenshots));
    SetWidgetSet(&widget_set);
    std::string command_line = CommandLine(argc, argv);
    try {
      result = WinMain(nullptr, nullptr, command_line.data(), 1 /* SW_SHOWNORMAL */);
    } catch (const Exception& e) {
      std::fprintf(stderr, "%s\n", platform::Cp1251ToUtf8(e.Message.str()).c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "Unknown exception\n");
    }
    // The forms go while their widget set is there.
    ResetApplication();
    SetWidgetSet(nullptr);
  }
  return result;
}

}  // namespace vcl::qt

int main(int argc, char** argv) {
  return vcl::qt::RunProgram(argc, argv);
}
