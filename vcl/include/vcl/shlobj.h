// The shell's folder browser (SHBrowseForFolderA), shown through the widget set.
#pragma once

#include "platform/windows.h"

// An item identifier list: here, the chosen folder's path. Free it with CoTaskMemFree.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

using BFFCALLBACK = int (*)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFOA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;  // nullptr: the whole name space
  LPSTR pszDisplayName;    // receives the chosen folder's name (MAX_PATH characters)
  LPCSTR lpszTitle;        // the text above the tree
  UINT ulFlags;
  BFFCALLBACK lpfn;  // not called
  LPARAM lParam;
  int iImage;
};
using LPBROWSEINFOA = BROWSEINFOA*;
using PBROWSEINFOA = BROWSEINFOA*;

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr UINT BIF_STATUSTEXT = 0x0004;
constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;
constexpr UINT BIF_EDITBOX = 0x0010;
constexpr UINT BIF_VALIDATE = 0x0020;
constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040;
constexpr UINT BIF_USENEWUI = 0x0050;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr UINT BIF_BROWSEFORPRINTER = 0x2000;
constexpr UINT BIF_BROWSEINCLUDEFILES = 0x4000;

// Shows the folder browser; nullptr when the user cancels. A folder whose path does not fit
// MAX_PATH is refused with a message that names it (nullptr, as a cancel).
LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA lpbi);
// Copies the folder's path (at most MAX_PATH characters with the terminating 0) to pszPath.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath);
// Frees what SHBrowseForFolderA returned (nullptr is allowed).
void CoTaskMemFree(LPVOID pv);
