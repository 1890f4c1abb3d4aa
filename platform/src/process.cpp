// Process start: CreateProcessA, WinExec, GetExitCodeProcess. A program path ending in ".exe"
// that does not exist starts the same path without ".exe" (the Linux build of the program);
// "notepad.exe <path>" opens the file in a desktop text editor.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "internal.h"
#include "platform/cp1251.h"
#include "platform/paths.h"
#include "platform/testing.h"

extern char** environ;

using namespace platform::detail;

namespace {

struct ProcessRecords {
  std::mutex mutex;
  std::vector<platform::testing::ProcessRecord> records;
  std::vector<long> ids;  // one per record, so that a wait finds its record after a clear
  long next_id = 0;
  std::function<bool(const platform::testing::ProcessRecord&)> interceptor;
};

ProcessRecords& Records() {
  static auto* records = new ProcessRecords;
  return *records;
}

class ProcessObject : public Object {
 public:
  ProcessObject() : Object(Kind::Process) {}
  bool Signaled() const override { return exited; }
  // A satisfied wait on a recorded start marks the record as waited for.
  void Acquired() override {
    if (record < 0) return;
    auto& records = Records();
    std::lock_guard guard(records.mutex);
    for (std::size_t i = 0; i < records.ids.size(); ++i)
      if (records.ids[i] == record) records.records[i].waited = true;
  }
  bool exited = false;
  DWORD exit_code = STILL_ACTIVE;
  long record = -1;
};

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EndsWithExe(const std::string& s) {
  return s.size() > 4 && Lower(s.substr(s.size() - 4)) == ".exe";
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool ExistsPath(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The file to run for a program path: as given, else without its ".exe".
std::optional<std::string> ProgramFile(const std::string& mapped) {
  if (ExistsPath(mapped)) return mapped;
  if (EndsWithExe(mapped)) {
    std::string bare = mapped.substr(0, mapped.size() - 4);
    if (ExistsPath(bare)) return bare;
  }
  return std::nullopt;
}

// A program name without a folder is looked for in the current directory, then on PATH.
std::optional<std::string> FindProgram(const std::string& program) {
  std::string mapped = platform::MapPath(program);
  if (mapped.find('/') != std::string::npos) return ProgramFile(mapped);
  if (auto here = ProgramFile("./" + mapped); here && IsExecutableFile(*here)) return here;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    if (auto found = ProgramFile(dir + "/" + mapped); found && IsExecutableFile(*found))
      return found;
    start = end + 1;
  }
  return std::nullopt;
}

// Splits a command line into arguments as the Windows run-time library does: blanks separate,
// double quotes group, 2n backslashes before a quote give n and the quote toggles, 2n+1 give n
// and a literal quote.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '\\') {
        std::size_t n = 0;
        while (i < line.size() && line[i] == '\\') ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (line[i] == '"') {
        quoted = !quoted;
        ++i;
      } else {
        arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

bool IsNotepad(const std::string& program) {
  std::string name = program.substr(
      program.find_last_of("\\/") == std::string::npos ? 0 : program.find_last_of("\\/") + 1);
  name = Lower(name);
  return name == "notepad.exe" || name == "notepad";
}

struct Parsed {
  std::string program;  // as written
  std::string rest;     // the command line after the program
};

// The program of a command line: a quoted first word, else the shortest blank-separated
// prefix that names an existing program (as Windows resolves "c:\Program Files\x.exe a"), else
// the first word.
Parsed SplitProgram(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && line[i] == '"') {
    std::size_t close = line.find('"', i + 1);
    if (close == std::string::npos) return {line.substr(i + 1), ""};
    return {line.substr(i + 1, close - i - 1), line.substr(close + 1)};
  }
  std::size_t first_blank = line.find_first_of(" \t", i);
  std::string first =
      line.substr(i, first_blank == std::string::npos ? std::string::npos : first_blank - i);
  if (IsNotepad(first))
    return {first, first_blank == std::string::npos ? "" : line.substr(first_blank)};
  for (std::size_t blank = first_blank; blank != std::string::npos;
       blank = line.find_first_of(" \t", blank + 1)) {
    std::string candidate = line.substr(i, blank - i);
    if (FindProgram(candidate)) return {candidate, line.substr(blank)};
  }
  if (first_blank == std::string::npos) return {line.substr(i), ""};
  std::string whole = line.substr(i);
  if (FindProgram(whole)) return {whole, ""};
  return {line.substr(i, first_blank - i), line.substr(first_blank)};
}

// A desktop text editor on PATH, with the option that makes it stay until its window closes.
std::optional<std::vector<std::string>> TextViewer() {
  static const std::vector<std::vector<std::string>> candidates = {
      {"gnome-text-editor", "--standalone"},
      {"gedit", "--wait"},
      {"kate", "--block"},
      {"kwrite"},
      {"mousepad", "--disable-server"},
      {"pluma"},
      {"xed"},
      {"leafpad"},
      {"xdg-open"}};  // the last resort does not wait
  for (auto& candidate : candidates) {
    if (auto found = FindProgram(candidate[0])) {
      std::vector<std::string> command = candidate;
      command[0] = *found;
      return command;
    }
  }
  return std::nullopt;
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

void FillInformation(const std::shared_ptr<ProcessObject>& process, pid_t pid,
                     LPPROCESS_INFORMATION info) {
  if (!info) return;
  info->hProcess = NewHandle(process);
  info->hThread = DuplicateHandleTo(process);
  info->dwProcessId = static_cast<DWORD>(pid);
  info->dwThreadId = static_cast<DWORD>(pid);
}

std::vector<std::string> EnvironmentBlock(const char* block) {
  std::vector<std::string> env;
  while (block && *block) {
    env.emplace_back(platform::Cp1251ToUtf8(block));
    block += std::strlen(block) + 1;
  }
  return env;
}

BOOL Spawn(const std::vector<std::string>& argv, const char* environment, LPCSTR directory,
           long record, LPPROCESS_INFORMATION info) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (directory && *directory) {
    std::string dir = platform::MapPath(directory);
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      posix_spawn_file_actions_destroy(&actions);
      return Fail(ERROR_DIRECTORY);
    }
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  }
  std::vector<char*> args;
  for (auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> env_strings = EnvironmentBlock(environment);
  std::vector<char*> env;
  for (auto& e : env_strings) env.push_back(e.data());
  env.push_back(nullptr);
  pid_t pid = 0;
  int err = ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(),
                          environment ? env.data() : environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err) return FailErrno(err);
  auto process = std::make_shared<ProcessObject>();
  process->record = record;
  std::thread([process, pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    DWORD code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    Lock lock(Mutex());
    process->exit_code = code;
    process->exited = true;
    NotifyChanged();
  }).detach();
  FillInformation(process, pid, info);
  return TRUE;
}

}  // namespace

BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                    LPSTARTUPINFOA lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation) {
  if (!lpApplicationName && (!lpCommandLine || !*lpCommandLine))
    return Fail(ERROR_INVALID_PARAMETER);
  std::string line = lpCommandLine ? lpCommandLine : "";
  std::string command_line = line.empty() ? lpApplicationName : line;
  if (Faulted("CreateProcessA", command_line)) return FALSE;

  long record;
  std::function<bool(const platform::testing::ProcessRecord&)> interceptor;
  {
    auto& records = Records();
    std::lock_guard guard(records.mutex);
    record = records.next_id++;
    records.records.push_back({command_line, false});
    records.ids.push_back(record);
    interceptor = records.interceptor;
  }
  if (interceptor) {
    if (!interceptor({command_line, false})) return Fail(ERROR_FILE_NOT_FOUND);
    auto process = std::make_shared<ProcessObject>();
    process->exited = true;
    process->exit_code = 0;
    process->record = record;
    FillInformation(process, 0, lpProcessInformation);
    return TRUE;
  }

  Parsed parsed;
  if (lpApplicationName) {
    parsed.program = lpApplicationName;
    parsed.rest = line.empty() ? "" : SplitProgram(line).rest;
  } else {
    parsed = SplitProgram(line);
  }
  std::vector<std::string> argv;
  if (IsNotepad(parsed.program)) {
    // The rest of the line is the file, unquoted and possibly with blanks.
    auto viewer = TextViewer();
    if (!viewer) return Fail(ERROR_FILE_NOT_FOUND);
    argv = *viewer;
    std::string file = Trim(parsed.rest);
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
      file = file.substr(1, file.size() - 2);
    if (!file.empty()) argv.push_back(platform::MapPath(file));
  } else {
    auto program = FindProgram(parsed.program);
    if (!program) {
      std::string mapped = platform::MapPath(parsed.program);
      std::string dir = mapped.substr(
          0, mapped.find_last_of('/') == std::string::npos ? 0 : mapped.find_last_of('/'));
      return Fail(!dir.empty() && !ExistsPath(dir) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    }
    argv.push_back(*program);
    for (auto& arg : SplitArguments(parsed.rest)) argv.push_back(platform::Cp1251ToUtf8(arg));
  }
  return Spawn(argv, static_cast<const char*>(lpEnvironment), lpCurrentDirectory, record,
               lpProcessInformation);
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  auto process = LookupAs<ProcessObject>(hProcess, Kind::Process);
  if (!process) return FALSE;
  if (!lpExitCode) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  *lpExitCode = process->exit_code;
  return TRUE;
}

UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow) {
  if (!lpCmdLine) return 0;
  std::string line = lpCmdLine;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                      &info)) {
    DWORD error = GetLastError();
    return error <= 31 ? error : 0;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 33;
}

namespace platform::testing {

void SetProcessInterceptor(std::function<bool(const ProcessRecord&)> interceptor) {
  auto& records = Records();
  std::lock_guard guard(records.mutex);
  records.interceptor = std::move(interceptor);
}

std::vector<ProcessRecord> Processes() {
  auto& records = Records();
  std::lock_guard guard(records.mutex);
  return records.records;
}

void ClearProcesses() {
  auto& records = Records();
  std::lock_guard guard(records.mutex);
  records.records.clear();
  records.ids.clear();
}

}  // namespace platform::testing
