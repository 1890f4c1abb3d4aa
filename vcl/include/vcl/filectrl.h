// The class library's folder dialog.
#pragma once

#include "vcl/property.h"
#include "vcl/system.h"

enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = Set<TSelectDirOpt>;

// Lets the user choose a folder, starting at Directory (at the current directory when it is
// empty). Returns true on OK with Directory the chosen folder, never an empty one: OK on an
// empty choice shows "No folder was chosen." and the dialog again. A typed folder that does not
// exist is accepted only with sdAllowCreate; with sdPrompt the user is first asked "The folder
// <dir> does not exist. Create it?" (Yes/No; No returns to the dialog); with sdPerformCreate it is
// then created, missing levels included. Without sdAllowCreate a folder that does not exist is
// refused ("The folder <dir> does not exist.") and the dialog shows again. A chosen folder that no
// text names exactly is refused with a message naming it, and the call returns false, as for
// Cancel.
bool SelectDirectory(AnsiString& Directory, TSelectDirOpts Options, int HelpCtx);
