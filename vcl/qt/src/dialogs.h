// Modal boxes and dialogs: message boxes with the Windows flags and Russian buttons, the
// exception display, the open and save dialog, the shell's folder browser and the class
// library's folder dialog.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <optional>

#include "vcl/dialogs.h"
#include "vcl/filectrl.h"

class QFileSystemModel;

namespace vcl::qt::detail {

class Core;

// The buttons' texts.
extern const char* const kOkText;
extern const char* const kCancelText;
extern const char* const kYesText;
extern const char* const kNoText;

// A message box; returns IDOK, IDCANCEL, IDYES, IDNO ...
int RunMessageBox(Core& core, const AnsiString& text, const AnsiString& caption, int flags);
int RunMessageBox(Core& core, const QString& text, const QString& caption, int flags);
bool RunOpenDialog(Core& core, TOpenDialog* dialog);
bool RunFolderBrowser(Core& core, const AnsiString& title, AnsiString& folder);
bool RunSelectFolder(Core& core, AnsiString& folder, TSelectDirOpts options);

// The Qt name filters of a filter text "Text files|*.txt;*.log|All files|*.*".
QStringList NameFilters(const AnsiString& filter);

// A tree of folders with OK and Cancel: the folder browser ("title" above the tree) and the
// folder dialog (an edit with the folder's name above the tree, where a new folder may be
// typed).
class FolderDialog : public QDialog {
 public:
  FolderDialog(QWidget* parent, const QString& window_title, const QString& text, bool with_edit);
  // Selects the folder in the tree (and puts `shown` into the edit).
  void Select(const QString& real_path, const QString& shown);
  // The chosen folder as the program's text: the edit's text when the user typed it, else the
  // folder picked in the tree (an empty text when none is). Nothing when no text names it
  // exactly: then `shown` is the name as the user sees it and `problem` says why.
  std::optional<AnsiString> Chosen(QString& shown, QString& problem) const;
  QTreeView* Tree() const { return tree_; }
  QLineEdit* Edit() const { return edit_; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QFileSystemModel* model_;
  QTreeView* tree_;
  QLineEdit* edit_ = nullptr;
  QPushButton* ok_;
  QString composed_;  // the program's own text the dialog started with
  QString picked_;    // what picking a folder in the tree put into the edit
};

}  // namespace vcl::qt::detail
