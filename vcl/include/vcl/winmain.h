// The program's entry as the programs define it. The Qt widget set's library (vcl_qt) provides
// main(), which creates the Qt application, installs the Qt widget set and calls WinMain with
// the command line after the program name (code page 1251); tests call WinMain themselves.
#pragma once

#include "platform/windows.h"

#ifndef WINAPI
#define WINAPI
#endif
using HINSTANCE = struct HINSTANCE__*;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
