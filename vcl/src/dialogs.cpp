#include "vcl/dialogs.h"

#include <algorithm>
#include <cstring>

#include "gui_internal.h"
#include "published.h"
#include "vcl/filectrl.h"
#include "vcl/shlobj.h"

void ShowMessage(const AnsiString& Msg) {
  vcl::detail::RequireWidgetSet().ShowMessage(Msg, vcl::detail::ApplicationTitle());
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  int flags = MB_OK;
  if (Buttons.Contains(mbYes) && Buttons.Contains(mbNo))
    flags = Buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (Buttons.Contains(mbAbort) || Buttons.Contains(mbIgnore))
    flags = MB_ABORTRETRYIGNORE;
  else if (Buttons.Contains(mbRetry))
    flags = MB_RETRYCANCEL;
  else if (Buttons.Contains(mbCancel))
    flags = MB_OKCANCEL;
  switch (DlgType) {
    case mtWarning:
      flags |= MB_ICONWARNING;
      break;
    case mtError:
      flags |= MB_ICONERROR;
      break;
    case mtInformation:
      flags |= MB_ICONINFORMATION;
      break;
    case mtConfirmation:
      flags |= MB_ICONQUESTION;
      break;
    case mtCustom:
      break;
  }
  static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm", ""};
  AnsiString caption =
      DlgType == mtCustom ? vcl::detail::ApplicationTitle() : AnsiString(kCaptions[DlgType]);
  return vcl::detail::RequireWidgetSet().MessageBox(Msg, caption, flags);
}

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TOpenDialog::Execute() {
  if (!vcl::detail::RequireWidgetSet().OpenDialog(this)) return false;
  AnsiString ext = default_ext_;
  while (!ext.IsEmpty() && (ext[1] == '*' || ext[1] == '.')) ext.Delete(1, 1);
  if (!ext.IsEmpty() && !file_name_.IsEmpty() && ExtractFileExt(file_name_).IsEmpty())
    file_name_ += "." + ext;
  return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

// ---- The class library's folder dialog ----

bool SelectDirectory(AnsiString& Directory, TSelectDirOpts Options, int) {
  vcl::WidgetSet& ws = vcl::detail::RequireWidgetSet();
  // Without a folder of its own the dialog starts at the current directory.
  const AnsiString start = Directory.IsEmpty() ? GetCurrentDir() : Directory;
  AnsiString folder = start;
  for (;;) {
    if (!ws.SelectFolder(folder, Options)) return false;
    if (folder.IsEmpty()) {
      // An empty choice names no folder (a caller appending "\" would get the root).
      ws.MessageBox("No folder was chosen.", vcl::detail::ApplicationTitle(),
                    MB_OK | MB_ICONWARNING);
      folder = start;
      continue;
    }
    if (DirectoryExists(folder)) break;
    if (!Options.Contains(sdAllowCreate)) {
      ws.MessageBox("The folder " + folder + " does not exist.", vcl::detail::ApplicationTitle(),
                    MB_OK | MB_ICONWARNING);
      continue;
    }
    if (Options.Contains(sdPrompt) &&
        ws.MessageBox("The folder " + folder + " does not exist. Create it?",
                      vcl::detail::ApplicationTitle(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      continue;
    if (Options.Contains(sdPerformCreate)) ForceDirectories(folder);
    break;
  }
  Directory = folder;
  return true;
}

// ---- The shell's folder browser ----

struct ITEMIDLIST {
  char path[MAX_PATH];
};

namespace {
// Copies at most MAX_PATH - 1 characters and the terminating 0.
void CopyPath(char* to, const char* from) {
  std::size_t n = std::min<std::size_t>(std::strlen(from), MAX_PATH - 1);
  std::memcpy(to, from, n);
  to[n] = '\0';
}
}  // namespace

LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
  if (!lpbi) return nullptr;
  AnsiString folder;
  AnsiString title = lpbi->lpszTitle ? lpbi->lpszTitle : "";
  vcl::WidgetSet& ws = vcl::detail::RequireWidgetSet();
  if (!ws.BrowseForFolder(title, folder)) return nullptr;
  // The caller's buffer holds MAX_PATH characters: a longer path would reach it cut, naming a
  // parent folder. It is refused, and the browser ends as cancelled.
  if (static_cast<DWORD>(folder.Length()) >= MAX_PATH) {
    ws.MessageBox("Программа не может работать с папкой под этим именем:\n" + folder +
                      "\nПуть длиннее " + IntToStr(MAX_PATH - 1) + " знаков.",
                  vcl::detail::ApplicationTitle(), MB_OK | MB_ICONWARNING);
    return nullptr;
  }
  auto* list = new ITEMIDLIST{};
  CopyPath(list->path, folder.c_str());
  if (lpbi->pszDisplayName) {
    AnsiString name = ExtractFileName(folder);
    if (name.IsEmpty()) name = folder;
    CopyPath(lpbi->pszDisplayName, name.c_str());
  }
  return list;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath) {
  if (!pidl || !pszPath) return FALSE;
  CopyPath(pszPath, pidl->path);
  return pidl->path[0] != '\0';
}

void CoTaskMemFree(LPVOID pv) {
  delete static_cast<ITEMIDLIST*>(pv);
}

// ---- Published properties, for form descriptions (published.h) ----

namespace vcl::detail {

std::span<const ClassTable> DialogsTables() {
  static const ClassTable tables[] = {
      Publish<TCommonDialog>("TCommonDialog", "TComponent", Creation::kBaseOnly)
          .prop("HelpContext", &TCommonDialog::HelpContext)
          .prop("Ctl3D", &TCommonDialog::Ctl3D)
          .prop("Left", &TCommonDialog::Left)
          .prop("Top", &TCommonDialog::Top),
      Publish<TOpenDialog>("TOpenDialog", "TCommonDialog")
          .prop("FileName", &TOpenDialog::FileName)
          .prop("Filter", &TOpenDialog::Filter)
          .prop("FilterIndex", &TOpenDialog::FilterIndex)
          .prop("DefaultExt", &TOpenDialog::DefaultExt)
          .prop("InitialDir", &TOpenDialog::InitialDir)
          .prop("Title", &TOpenDialog::Title)
          .prop("Options", &TOpenDialog::Options),
      Publish<TSaveDialog>("TSaveDialog", "TOpenDialog"),
  };
  return tables;
}

}  // namespace vcl::detail
