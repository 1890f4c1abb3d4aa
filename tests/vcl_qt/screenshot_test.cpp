// The demonstration form under X: Russian texts in fonts that have their glyphs, and the
// screenshot mode of the programs' entry (the demonstration program run as a program would be).
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <set>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using ScreenshotTest = DemoFixture;

// Every text a widget shows, with the font it shows it in.
void Texts(QWidget* w, std::vector<std::pair<QString, QFont>>& out) {
  if (auto* l = qobject_cast<QLabel*>(w)) out.emplace_back(l->text(), l->font());
  if (auto* b = qobject_cast<QAbstractButton*>(w)) out.emplace_back(b->text(), b->font());
  if (auto* g = qobject_cast<QGroupBox*>(w)) out.emplace_back(g->title(), g->font());
  if (auto* e = qobject_cast<QLineEdit*>(w)) out.emplace_back(e->text(), e->font());
  if (auto* t = qobject_cast<QTabBar*>(w))
    for (int i = 0; i < t->count(); ++i) out.emplace_back(t->tabText(i), t->font());
  for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) Texts(child, out);
}

TEST_F(ScreenshotTest, RussianTextsHaveGlyphsInTheirFonts) {
  std::vector<std::pair<QString, QFont>> texts;
  Texts(Widget(form), texts);
  int cyrillic = 0;
  for (const auto& [text, font] : texts) {
    QFontMetrics metrics(font);
    for (QChar ch : text) {
      if (ch.script() != QChar::Script_Cyrillic) continue;
      ++cyrillic;
      EXPECT_TRUE(metrics.inFont(ch))
          << text.toStdString() << " in " << QFontInfo(font).family().toStdString();
    }
    EXPECT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("DejaVu")))
        << QFontInfo(font).family().toStdString();
  }
  EXPECT_GT(cyrillic, 100);
}

TEST_F(ScreenshotTest, SavesWhatTheFormShows) {
  QTemporaryDir dir;
  QString file = dir.filePath(QStringLiteral("demo.png"));
  ASSERT_TRUE(ws.SaveScreenshot(form, file));
  QImage image(file);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), Widget(form)->size() * Widget(form)->devicePixelRatio());
  // A form, not a blank rectangle: many colours.
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 50u);
}

// The open "Файл" menu: its separator item is a line across the menu, not the caption "-" as
// text (saved as <build>/screenshots/vcl_demo_menu_file.png).
TEST_F(ScreenshotTest, TheOpenMenuDrawsASeparatorAsALineOnly) {
  QMenu* menu = ws.ActionOf(form->MenuFile)->menu();
  ASSERT_NE(menu, nullptr);
  QAction* separator = ws.ActionOf(form->MenuSeparator);
  EXPECT_TRUE(separator->isSeparator());
  EXPECT_TRUE(separator->text().isEmpty());
  menu->popup(Widget(form)->mapToGlobal(QPoint(10, 10)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  QImage image = menu->grab().toImage();
  menu->close();
  QDir().mkpath(QStringLiteral(VCL_QT_SCREENSHOTS));
  image.save(QStringLiteral(VCL_QT_SCREENSHOTS "/vcl_demo_menu_file.png"));
  // Each row of the separator's strip is either plain background or part of a line that runs
  // across most of the menu; a caption drawn as text marks only a few pixels at the left.
  // (Inside the menu's frame, which runs down both edges.)
  QRect strip = menu->actionGeometry(separator).adjusted(3, 0, -3, 0);
  qreal ratio = image.devicePixelRatio();
  std::map<QRgb, int> counts;
  for (int y = int(strip.top() * ratio); y < int((strip.bottom() + 1) * ratio); ++y)
    for (int x = int(strip.left() * ratio); x < int((strip.right() + 1) * ratio); ++x)
      ++counts[image.pixel(x, y)];
  QRgb background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                    })->first;
  int line_rows = 0;
  for (int y = int(strip.top() * ratio); y < int((strip.bottom() + 1) * ratio); ++y) {
    int marked = 0;
    for (int x = int(strip.left() * ratio); x < int((strip.right() + 1) * ratio); ++x)
      if (image.pixel(x, y) != background) ++marked;
    if (marked == 0) continue;
    EXPECT_GT(marked, strip.width() * ratio / 2) << "row " << y << " of the separator";
    ++line_rows;
  }
  EXPECT_GT(line_rows, 0) << "the separator draws a line";
}

TEST(DemoProgram, ScreenshotModeSavesTheFormsAndClosesTheMainForm) {
  QTemporaryDir shots;
  QTemporaryDir prefix;
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VCL_SCREENSHOT_DIR"), shots.path());
  env.insert(QStringLiteral("TRAKMON_PREFIX"), prefix.path());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(VCL_QT_DEMO_PROGRAM), {});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(program.waitForFinished(120000)) << "the program did not end by itself";
  QString out = QString::fromUtf8(program.readAllStandardOutput());
  QString err = QString::fromUtf8(program.readAllStandardError());
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << err.toStdString();
  EXPECT_EQ(program.exitCode(), 0) << err.toStdString();
  // The close handlers ran: the program ended by closing its main form.
  EXPECT_TRUE(out.contains(QStringLiteral("FormCloseQuery\nFormClose\n"))) << out.toStdString();

  QString png = QDir(shots.path()).filePath(QStringLiteral("DemoForm.png"));
  QImage image(png);
  ASSERT_FALSE(image.isNull()) << err.toStdString();
  EXPECT_EQ(image.width(), 640);
  EXPECT_GT(image.height(), 470) << "the client area and the menu bar";
  // Kept for people to look at.
  QDir().mkpath(QStringLiteral(VCL_QT_SCREENSHOTS));
  QString kept = QDir(QStringLiteral(VCL_QT_SCREENSHOTS)).filePath(QStringLiteral("vcl_demo.png"));
  QFile::remove(kept);
  EXPECT_TRUE(QFile::copy(png, kept));
}

}  // namespace
}  // namespace vcl_qt_test
