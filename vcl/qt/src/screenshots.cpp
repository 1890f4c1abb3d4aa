#include "screenshots.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "form_mirror.h"
#include "qt_text.h"
#include "vcl/forms.h"

namespace vcl::qt::detail {

bool SaveScreenshot(Book& book, TCustomForm* form, const QString& file_name) {
  {
    Book::Echo echo(book);
    book.ShowPendingForms();
  }
  auto* m = book.FindAs<FormMirror>(form);
  if (!m || !m->widget()->isVisible()) return false;
  QFileInfo info(file_name);
  QDir().mkpath(info.absolutePath());
  return m->widget()->grab().save(file_name, "PNG");
}

namespace {

void SaveVisibleForms(Book& book, const QString& dir) {
  for (Mirror* mirror : book.Mirrors()) {
    auto* m = dynamic_cast<FormMirror*>(mirror);
    if (!m || !m->widget()->isVisible()) continue;
    QString name = Q(m->form()->Name);
    if (name.isEmpty()) name = Q(m->form()->ClassName());
    QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!SaveScreenshot(book, m->form(), file))
      std::fprintf(stderr, "vcl_qt: could not save %s\n", file.toUtf8().constData());
  }
}

}  // namespace

void RunScreenshotMode(Book& book, QObject* context, const QString& dir,
                       std::function<void()> closed) {
  auto* poll = new QTimer(context);
  auto waited = std::make_shared<int>(0);
  auto painted = std::make_shared<bool>(false);
  QObject::connect(poll, &QTimer::timeout, context, [&book, poll, waited, painted, dir, closed] {
    *waited += 50;
    TForm* main = Application ? Application->MainForm() : nullptr;
    auto* m = main ? book.FindAs<FormMirror>(main) : nullptr;
    QWindow* window = m ? m->widget()->windowHandle() : nullptr;
    bool ready = m && m->widget()->isVisible() && window && window->isExposed();
    // Once exposed, one more round lets the first paint reach the screen.
    if (ready && !*painted) {
      *painted = true;
      return;
    }
    if (!ready && *waited < 10000) return;
    poll->stop();
    poll->deleteLater();
    QDir().mkpath(dir);
    SaveVisibleForms(book, dir);
    if (main) book.User([main] { input::CloseRequest(main); });
    closed();
  });
  poll->start(50);
}

}  // namespace vcl::qt::detail
