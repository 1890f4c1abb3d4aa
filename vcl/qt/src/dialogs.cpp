#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "core.h"
#include "program_paths.h"
#include "qt_text.h"
#include "vcl/dialogs.h"
#include "vcl/filectrl.h"

namespace vcl::qt::detail {

const char* const kOkText = "ОК";
const char* const kCancelText = "Отмена";
const char* const kYesText = "Да";
const char* const kNoText = "Нет";

namespace {

struct ButtonChoice {
  const char* text;
  int id;
};

std::vector<ButtonChoice> ButtonsFor(int flags) {
  switch (flags & 0xF) {
    case MB_OKCANCEL:
      return {{kOkText, IDOK}, {kCancelText, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{"Прервать", IDABORT}, {"Повтор", IDRETRY}, {"Пропустить", IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{kYesText, IDYES}, {kNoText, IDNO}, {kCancelText, IDCANCEL}};
    case MB_YESNO:
      return {{kYesText, IDYES}, {kNoText, IDNO}};
    case MB_RETRYCANCEL:
      return {{"Повтор", IDRETRY}, {kCancelText, IDCANCEL}};
    default:
      return {{kOkText, IDOK}};
  }
}

QMessageBox::Icon IconFor(int flags) {
  switch (flags & 0xF0) {
    case MB_ICONSTOP:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int RunMessageBox(Core& core, const AnsiString& text, const AnsiString& caption, int flags) {
  return RunMessageBox(core, Q(text), Q(caption), flags);
}

int RunMessageBox(Core& core, const QString& text, const QString& caption, int flags) {
  core.ShowPendingForms();
  QMessageBox box(core.ModalParent());
  box.setWindowTitle(caption);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setIcon(IconFor(flags));
  std::vector<ButtonChoice> choices = ButtonsFor(flags);
  std::vector<QPushButton*> buttons;
  QPushButton* escape = nullptr;
  // Action roles keep the Windows order of the buttons; Esc and the title bar's close answer
  // Cancel, or the only button; a box with Yes and No (and no Cancel) cannot be closed.
  for (const ButtonChoice& choice : choices) {
    QPushButton* b = box.addButton(QString::fromUtf8(choice.text), QMessageBox::ActionRole);
    buttons.push_back(b);
    if (choice.id == IDCANCEL) escape = b;
  }
  if (!escape && buttons.size() == 1) escape = buttons.front();
  if (escape)
    box.setEscapeButton(escape);
  else
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
  std::size_t default_index = static_cast<std::size_t>((flags >> 8) & 0xF);
  box.setDefaultButton(buttons[std::min(default_index, buttons.size() - 1)]);

  // The safe answer: Cancel, else No, else the first button.
  QPushButton* safe = escape;
  for (std::size_t i = 0; i < choices.size() && !safe; ++i)
    if (choices[i].id == IDNO) safe = buttons[i];
  if (!safe) safe = buttons.front();
  core.ExecModal(
      box, [safe] { safe->click(); }, text);

  QAbstractButton* clicked = box.clickedButton();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i] == clicked) return choices[i].id;
  if (escape)
    for (std::size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i] == escape) return choices[i].id;
  return IDCANCEL;
}

QStringList NameFilters(const AnsiString& filter) {
  QStringList parts = Q(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      // "*.*" means every file, also those without an extension.
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    }
    QString joined = patterns.join(u' ');
    // A description that already lists its patterns in parentheses keeps them once.
    qsizetype open = description.lastIndexOf(u'(');
    if (open > 0 && description.endsWith(u')')) description = description.left(open).trimmed();
    filters << description + QStringLiteral(" (") + joined + u')';
  }
  return filters;
}

namespace {

// A chosen file or folder that no program's text names exactly is refused with its own name,
// as the file system spells it, and why; the dialog then ends as cancelled.
void RefuseName(Core& core, const QString& path, const QString& problem, bool folder) {
  const QString text =
      QString::fromUtf8(folder ? "Программа не может работать с папкой под этим именем:"
                               : "Программа не может работать с файлом под этим именем:") +
      u'\n' + path + u'\n' + problem;
  RunMessageBox(core, text, Application ? Q(Application->Title) : QString(),
                MB_OK | MB_ICONWARNING);
}

}  // namespace

bool RunOpenDialog(Core& core, TOpenDialog* d) {
  core.ShowPendingForms();
  bool save = dynamic_cast<TSaveDialog*>(d) != nullptr;
  TOpenOptions options = d->Options;
  QString title = Q(d->Title);
  if (title.isEmpty()) title = QString::fromUtf8(save ? "Сохранить как" : "Открыть");
  QFileDialog dialog(core.ModalParent(), title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save)
    dialog.setFileMode(QFileDialog::AnyFile);
  else if (options.Contains(ofAllowMultiSelect))
    dialog.setFileMode(QFileDialog::ExistingFiles);
  else if (options.Contains(ofFileMustExist))
    dialog.setFileMode(QFileDialog::ExistingFile);
  else
    dialog.setFileMode(QFileDialog::AnyFile);
  if (save && !options.Contains(ofOverwritePrompt))
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(save ? "Сохранить" : "Открыть"));
  dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8(kCancelText));

  QStringList filters = NameFilters(d->Filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index = d->FilterIndex;
    dialog.selectNameFilter(filters.value(index >= 1 && index <= filters.size() ? index - 1 : 0));
  }
  // The start folder: InitialDir, else the process's current directory.
  QString folder = RealPath(d->InitialDir);
  dialog.setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
  AnsiString preset = d->FileName;
  if (!preset.IsEmpty()) {
    bool has_folder = preset.Pos("\\") > 0 || preset.Pos("/") > 0 || preset.Pos(":") > 0;
    dialog.selectFile(has_folder ? RealPath(preset) : Q(preset));
  }
  AnsiString composed = !d->InitialDir().IsEmpty() ? d->InitialDir() : preset;

  if (core.ExecModal(
          dialog, [&dialog] { dialog.reject(); }, title) != QDialog::Accepted)
    return false;
  QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  QString problem;
  const std::optional<AnsiString> file = ExactProgramPath(files.front(), composed, problem);
  if (!file) {
    RefuseName(core, files.front(), problem, false);
    return false;
  }
  d->FileName = *file;
  qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  if (chosen >= 0) d->FilterIndex = static_cast<int>(chosen) + 1;
  return true;
}

// ---- Folder dialogs ----

FolderDialog::FolderDialog(QWidget* parent, const QString& window_title, const QString& text,
                           bool with_edit)
    : QDialog(parent), model_(new QFileSystemModel(this)), tree_(new QTreeView(this)) {
  setWindowTitle(window_title);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(text, this);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  layout->addWidget(label);
  if (with_edit) {
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("folderEdit"));
    label->setBuddy(edit_);
    layout->addWidget(edit_);
  }
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QStringLiteral("/"));
  tree_->setObjectName(QStringLiteral("folderTree"));
  tree_->setModel(model_);
  tree_->setRootIndex(model_->index(QStringLiteral("/")));
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setAccessibleName(text);
  layout->addWidget(tree_, 1);
  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QString::fromUtf8(kOkText), QDialogButtonBox::AcceptRole);
  ok_->setObjectName(QStringLiteral("folderOk"));
  buttons->addButton(QString::fromUtf8(kCancelText), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (edit_ && current.isValid()) {
              // A folder without an exact text shows as the file system names it.
              const QString real = model_->filePath(current);
              QString problem;
              const std::optional<AnsiString> text = ExactProgramPath(real, A(composed_), problem);
              picked_ = text ? Q(*text) : real;
              edit_->setText(picked_);
            }
            if (!edit_) ok_->setEnabled(current.isValid());
          });
  if (!edit_) ok_->setEnabled(false);
  resize(360, 400);
}

void FolderDialog::Select(const QString& real_path, const QString& shown) {
  composed_ = shown;
  if (!real_path.isEmpty() && QFileInfo(real_path).isDir()) {
    QModelIndex index = model_->index(QDir::cleanPath(real_path));
    if (index.isValid()) {
      tree_->setCurrentIndex(index);
      tree_->scrollTo(index);
    }
  }
  if (edit_) edit_->setText(shown);
  picked_.clear();
}

std::optional<AnsiString> FolderDialog::Chosen(QString& shown, QString& problem) const {
  // The edit's text when the user typed it, else the folder picked in the tree.
  if (edit_ && edit_->text() != picked_) {
    shown = edit_->text();
    return ExactTypedPath(shown, problem);
  }
  QModelIndex current = tree_->currentIndex();
  shown = current.isValid() ? model_->filePath(current) : QString();
  if (shown.isEmpty()) return AnsiString();
  return ExactProgramPath(shown, A(composed_), problem);
}

bool RunFolderBrowser(Core& core, const AnsiString& title, AnsiString& folder) {
  core.ShowPendingForms();
  FolderDialog dialog(core.ModalParent(), QString::fromUtf8("Обзор папок"), Q(title), false);
  // The browser opens at the given folder, else at drive C.
  AnsiString start = folder.IsEmpty() ? AnsiString("c:\\") : folder;
  dialog.Select(RealPath(start), Q(start));
  if (core.ExecModal(
          dialog, [&dialog] { dialog.reject(); }, Q(title)) != QDialog::Accepted)
    return false;
  QString shown, problem;
  const std::optional<AnsiString> chosen = dialog.Chosen(shown, problem);
  if (!chosen) {
    RefuseName(core, shown, problem, true);
    return false;
  }
  if (chosen->IsEmpty()) return false;
  folder = *chosen;
  return true;
}

bool RunSelectFolder(Core& core, AnsiString& folder, TSelectDirOpts options) {
  core.ShowPendingForms();
  QString text = QString::fromUtf8(
      options.Contains(sdAllowCreate) ? "Папка (можно ввести имя новой папки):" : "Папка:");
  FolderDialog dialog(core.ModalParent(), QString::fromUtf8("Выбор папки"), text, true);
  dialog.Select(RealPath(folder), Q(folder));
  if (core.ExecModal(
          dialog, [&dialog] { dialog.reject(); }, text) != QDialog::Accepted)
    return false;
  QString shown, problem;
  const std::optional<AnsiString> chosen = dialog.Chosen(shown, problem);
  if (!chosen) {
    RefuseName(core, shown, problem, true);
    return false;
  }
  folder = *chosen;
  return true;
}

}  // namespace vcl::qt::detail
