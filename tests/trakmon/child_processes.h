// For tests that run programs: a temporary folder that goes with the test, shell quoting, file
// contents, and the tracker simulator tool as a child process serving a pseudo-terminal in real
// time (sim::ToolProcess).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sim/tool_process.h"
#include "test_support/files.h"
#include "test_support/shell.h"
#include "test_support/temp_dir.h"

// The tests' one temporary folder, under the name these tests use.
using TempFolder = test_support::TempDir;

using test_support::FileBytes;
using test_support::Quoted;
