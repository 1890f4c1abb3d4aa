// The whole class library in one include.
#pragma once

#include "platform/windows.h"
#include "vcl/buttons.h"
#include "vcl/classes.h"
#include "vcl/comctrls.h"
#include "vcl/controls.h"
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/filectrl.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"
#include "vcl/grids.h"
#include "vcl/menus.h"
#include "vcl/property.h"
#include "vcl/shlobj.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"
#include "vcl/system.h"
#include "vcl/sysutils.h"
#if __has_include("vcl/inifiles.h")
#include "vcl/inifiles.h"
#endif
#if __has_include("vcl/registry.h")
#include "vcl/registry.h"
#endif
