// Process start: program lookup, arguments, waiting and not waiting, the text viewer, the
// interceptor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/testing.h"
#include "platform/windows.h"
#include "platform_test_support.h"
#include "test_support/files.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;

namespace {

void Script(const fs::path& path, const std::string& body) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all);
}

bool Start(const std::string& command, PROCESS_INFORMATION& info, const char* directory = nullptr) {
  std::string line = command;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                        &startup, &info);
}

TEST(Process, AnExeThatDoesNotExistStartsTheSameNameWithout) {
  TempPrefix prefix;
  fs::path out = prefix.scratch() / "args.txt";
  Script(prefix.scratch() / "bin" / "tool", "for a in \"$@\"; do echo \"[$a]\"; done > '" +
                                                out.string() + "'\npwd >> '" + out.string() +
                                                "'\nexit 7\n");
  ASSERT_TRUE(CreateDirectoryA("c:\\Tc", nullptr));
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start("\"" + (prefix.scratch() / "bin" / "tool.exe").string() + "\" a \"b c\" d\\\"e",
                    info, "c:\\Tc"));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(
      test_support::FileBytes(out),
      "[a]\n[b c]\n[d\"e]\n" + fs::canonical(prefix.prefix() / "drive_c" / "Tc").string() + "\n");
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

TEST(Process, MissingProgramsFail) {
  TempPrefix prefix;
  PROCESS_INFORMATION info{};
  EXPECT_FALSE(Start((prefix.scratch() / "nothing.exe").string(), info));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(Start((prefix.scratch() / "no" / "dir" / "x.exe").string(), info));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_LE(WinExec("c:\\Tc\\Flasket.exe", SW_SHOW), 31u);
}

TEST(Process, WinExecDoesNotWait) {
  TempPrefix prefix;
  fs::path go = prefix.scratch() / "go", done = prefix.scratch() / "done";
  Script(prefix.prefix() / "drive_c" / "Tc" / "Flasket",
         "i=0\nwhile [ ! -f '" + go.string() +
             "' ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\ntouch '" + done.string() +
             "'\n");
  EXPECT_GT(WinExec("c:\\Tc\\Flasket.exe", SW_SHOW), 31u);
  // It returned while the program still waits for us.
  EXPECT_FALSE(fs::exists(done));
  std::ofstream(go) << "";
  for (int i = 0; i < 400 && !fs::exists(done); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(fs::exists(done));
}

TEST(Process, NotepadOpensTheFileInATextEditorAndCanBeWaitedFor) {
  TempPrefix prefix;
  fs::path out = prefix.scratch() / "viewer.txt";
  Script(prefix.scratch() / "path" / "gedit",
         "for a in \"$@\"; do echo \"[$a]\"; done > '" + out.string() + "'\n");
  std::string saved_path = std::getenv("PATH");
  ::setenv("PATH", (prefix.scratch() / "path").c_str(), 1);
  PROCESS_INFORMATION info{};
  bool started = Start("notepad.exe c:\\Tc\\gps msg.txt", info);
  ::setenv("PATH", saved_path.c_str(), 1);
  ASSERT_TRUE(started);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(test_support::FileBytes(out),
            "[--wait]\n[" + (prefix.prefix() / "drive_c" / "Tc" / "gps msg.txt").string() + "]\n");
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

TEST(Process, TheInterceptorRecordsStartsAndRunsNothing) {
  platform::testing::ClearProcesses();
  std::vector<std::string> seen;
  platform::testing::SetProcessInterceptor([&](const platform::testing::ProcessRecord& r) {
    seen.push_back(r.command_line);
    return r.command_line.find("missing") == std::string::npos;
  });
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start("notepad.exe c:\\Tc\\gps_msg.txt", info));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 99;
  ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_GT(WinExec("c:\\Tc\\Flasket.exe", SW_SHOW), 31u);
  EXPECT_LE(WinExec("c:\\missing.exe", SW_SHOW), 31u);
  platform::testing::SetProcessInterceptor(nullptr);

  EXPECT_EQ(seen, (std::vector<std::string>{"notepad.exe c:\\Tc\\gps_msg.txt",
                                            "c:\\Tc\\Flasket.exe", "c:\\missing.exe"}));
  auto records = platform::testing::Processes();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(records[0].waited);
  EXPECT_FALSE(records[1].waited);
  platform::testing::ClearProcesses();
}

}  // namespace
