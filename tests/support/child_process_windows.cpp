// The process helper on Windows: CreateProcessW with a quoted wide command
// line, inheritable handles of the output files as standard handles, an
// environment block of this process's variables and the overrides.
#include <windows.h>
//
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "support/child_process.h"
#include "support/utf8_path.h"

namespace zarntest {
namespace {

// The exit code Kill gives: Windows has no signals.
constexpr UINT kKilledExitCode = 137;

// Text between UTF-8 and the wide calls, through the tests' path helpers.
std::wstring Wide(const std::string& utf8) { return FsPath(utf8).wstring(); }
std::wstring WidePath(const std::string& utf8) { return FsPath(utf8).make_preferred().wstring(); }
std::string Utf8(const wchar_t* wide) {
  const std::u8string text = std::filesystem::path(wide).u8string();
  return std::string(text.begin(), text.end());
}

// Appends one argument as CommandLineToArgvW and the C runtime read it back:
// quoted when it is empty or holds a blank, a tab or a quote; inside quotes a
// quote is escaped by a backslash, and the backslashes before a quote or the
// closing quote are doubled (elsewhere backslashes are literal).
void AppendArgument(std::wstring& line, const std::wstring& argument) {
  if (!line.empty()) line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  for (auto at = argument.begin();; ++at) {
    std::size_t backslashes = 0;
    for (; at != argument.end() && *at == L'\\'; ++at) ++backslashes;
    if (at == argument.end()) {
      line.append(backslashes * 2, L'\\');
      break;
    }
    if (*at == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    line += *at;
  }
  line += L'"';
}

std::wstring NameOf(const std::wstring& entry) {
  return entry.substr(0, entry.find(L'=', 1));  // "=C:=C:\x" names the drive's folder
}

bool SameName(const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) == 0; }

// This process's environment with `overrides` set, as a block of
// NUL-terminated entries sorted by name (Windows compares names without
// case), ended by one more NUL.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::vector<std::wstring> entries;
  wchar_t* current = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry; entry += std::wcslen(entry) + 1) entries.emplace_back(entry);
  ::FreeEnvironmentStringsW(current);
  for (const auto& [name, value] : overrides) {
    const std::wstring wideName = Wide(name);
    std::erase_if(entries, [&](const std::wstring& entry) { return SameName(NameOf(entry), wideName); });
    entries.push_back(wideName + L"=" + Wide(value));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
    return ::_wcsicmp(NameOf(a).c_str(), NameOf(b).c_str()) < 0;
  });
  std::wstring block;
  for (const std::wstring& entry : entries) block += entry + L'\0';
  return block + L'\0';
}

// A file the child inherits as a standard handle.
class InheritedFile {
 public:
  InheritedFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handle_ = ::CreateFileW(path.empty() ? L"NUL" : WidePath(path).c_str(), access,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
      throw std::runtime_error("cannot open " + path + " (error " + std::to_string(::GetLastError()) + ")");
    }
  }
  InheritedFile(const InheritedFile&) = delete;
  InheritedFile& operator=(const InheritedFile&) = delete;
  ~InheritedFile() { ::CloseHandle(handle_); }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE ProcessOf(std::intptr_t process) { return reinterpret_cast<HANDLE>(process); }

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ChildOptions& options) {
  if (options.addressSpace != 0) throw std::runtime_error(*AddressSpaceLimitUnsupported());
  const std::wstring application = WidePath(program);
  std::wstring line;
  AppendArgument(line, application);
  for (const std::string& argument : arguments) AppendArgument(line, Wide(argument));
  std::wstring environment = EnvironmentBlock(options.environment);
  const std::wstring folder = WidePath(options.workingFolder);

  // The handles are inheritable only while the child is made; this process
  // closes its copies right after.
  const InheritedFile in("", GENERIC_READ, OPEN_EXISTING);
  const InheritedFile out(options.outFile, GENERIC_WRITE, CREATE_ALWAYS);
  std::optional<InheritedFile> err;
  if (!options.mergeStreams) err.emplace(options.errFile, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.Get();
  startup.hStdOutput = out.Get();
  startup.hStdError = err ? err->Get() : out.Get();
  PROCESS_INFORMATION started{};
  // No console of its own: under Wine a console host started for a child
  // could outlive a killed child and keep the test's inherited output open.
  if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT | DETACHED_PROCESS, environment.data(),
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    throw std::runtime_error("cannot start " + program + " (error " + std::to_string(::GetLastError()) + ")");
  }
  ::CloseHandle(started.hThread);
  process_ = reinterpret_cast<std::intptr_t>(started.hProcess);
}

ChildProcess::~ChildProcess() {
  if (!waited_) {
    Kill();
    Wait();
  }
  ::CloseHandle(ProcessOf(process_));
}

void ChildProcess::Kill() {
  // Marked first: Wait may wake as soon as the process is gone. The handle
  // stays open until the destructor, so killing an ended process fails harmlessly.
  terminated_ = true;
  ::TerminateProcess(ProcessOf(process_), kKilledExitCode);
}

int ChildProcess::Wait() {
  if (::WaitForSingleObject(ProcessOf(process_), INFINITE) != WAIT_OBJECT_0) {
    throw std::runtime_error("cannot wait for a child process");
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(ProcessOf(process_), &code)) throw std::runtime_error("cannot read an exit code");
  waited_ = true;
  killed_ = terminated_ && code == kKilledExitCode;
  return killed_ ? -1 : static_cast<int>(code);
}

std::optional<std::string> AddressSpaceLimitUnsupported() {
  return "Windows cannot limit the address space of a process (a job object limits committed memory only)";
}

std::vector<std::string> TemporaryFolderVariables() { return {"TMP", "TEMP"}; }

std::string ProgramPath(const std::string& path) {
  if (path.find_first_of("/\\") != std::string::npos) return path;
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (size == 0) throw std::runtime_error("cannot find this program");
    if (size < self.size()) {
      self.resize(size);
      break;
    }
    self.resize(self.size() * 2);
  }
  std::replace(self.begin(), self.end(), L'\\', L'/');
  return Utf8(self.substr(0, self.rfind(L'/') + 1).c_str()) + path;
}

std::vector<std::string> ChildProgramStart(int, char**) {
  ::_setmode(_fileno(stdout), _O_BINARY);
  ::_setmode(_fileno(stderr), _O_BINARY);
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!words) throw std::runtime_error("cannot read the command line");
  std::vector<std::string> arguments;
  for (int n = 1; n < count; ++n) arguments.push_back(Utf8(words[n]));
  ::LocalFree(words);
  return arguments;
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const std::wstring wideName = Wide(name);
  const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
  return Utf8(value.c_str());
}

}  // namespace zarntest
