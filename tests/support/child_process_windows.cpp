// Child processes for the tests on Windows: CreateProcess with a command line quoted argument by
// argument, standard handles on files, wait.
#include <windows.h>

#include <cctype>
#include <stdexcept>
#include <string_view>

#include "tests/support/child_process.h"
#include "tests/support/whole_file.h"

namespace test_support {

namespace {

// One argument as the C runtime's parser reads it back: quoted when it holds blanks or quotes or is
// empty; backslashes doubled only where a quote follows them.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
    return argument;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(2 * backslashes, '\\');
  out.push_back('"');
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The test's environment with the additions (names compared without regard to case), as the block
// CreateProcess takes: NAME=VALUE entries each ended by NUL, then one more NUL.
std::string EnvironmentBlock(const std::map<std::string, std::string>& added) {
  std::string block;
  char* own = GetEnvironmentStringsA();
  for (const char* entry = own; entry && *entry; entry += std::string_view(entry).size() + 1) {
    const std::string_view text(entry);
    const std::string_view name = text.substr(0, text.find('=', 1));  // "=C:=..." keeps its "="
    bool replaced = false;
    for (const auto& [added_name, value] : added) replaced = replaced || SameName(name, added_name);
    if (!replaced) block.append(text).push_back('\0');
  }
  if (own) FreeEnvironmentStringsA(own);
  for (const auto& [name, value] : added) block.append(name + "=" + value).push_back('\0');
  block.push_back('\0');
  return block;
}

// A handle the child inherits; closed with the object.
class InheritedHandle {
 public:
  InheritedHandle() = default;
  explicit InheritedHandle(HANDLE handle) : handle_(handle) {}
  ~InheritedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr) CloseHandle(handle_);
  }
  InheritedHandle(const InheritedHandle&) = delete;
  InheritedHandle& operator=(const InheritedHandle&) = delete;
  HANDLE get() const { return handle_; }

  static HANDLE OpenFile(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  static HANDLE Duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    if (!handle || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
      return nullptr;
    }
    return copy;
  }

 private:
  HANDLE handle_ = nullptr;
};

void RefuseWhatWindowsLacks(const ProcessOptions& options) {
  if (options.file_size_limit || !options.closed_descriptors.empty() ||
      options.output_pipe_closed) {
    throw std::logic_error("file size limits and closed standard descriptors are POSIX-only");
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const ProcessOptions& options) {
  RefuseWhatWindowsLacks(options);
  std::string command_line = Quoted(program);
  for (const std::string& argument : arguments) {
    command_line.push_back(' ');
    command_line += Quoted(argument);
  }
  std::string environment = EnvironmentBlock(options.environment);
  if (options.input) WriteWholeFile(capture_ / "stdin", *options.input);

  const InheritedHandle in(options.input
                               ? InheritedHandle::OpenFile(capture_ / "stdin", false)
                               : InheritedHandle::Duplicate(GetStdHandle(STD_INPUT_HANDLE)));
  const InheritedHandle out(InheritedHandle::OpenFile(capture_ / "stdout", true));
  const InheritedHandle err(options.merge_error_into_output
                                ? InheritedHandle::Duplicate(out.get())
                                : InheritedHandle::OpenFile(capture_ / "stderr", true));
  if (out.get() == INVALID_HANDLE_VALUE || err.get() == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot create the child's output files");
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION started{};
  const char* directory =
      options.working_directory.empty() ? nullptr : options.working_directory.c_str();
  if (CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, environment.data(),
                     directory, &startup, &started)) {
    CloseHandle(started.hThread);
    process_ = started.hProcess;
  }
}

ChildProcess::~ChildProcess() {
  if (process_) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
  }
}

void ChildProcess::Signal(int signal_number) const {
  if (process_) TerminateProcess(process_, 128 + static_cast<UINT>(signal_number));
}

ProcessOutput ChildProcess::Wait() {
  ProcessOutput result;
  result.exit_code = 127;
  if (process_) {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    result.exit_code = static_cast<int>(code);
  }
  result.out = ReadWholeFile(capture_ / "stdout");
  result.err = ReadWholeFile(capture_ / "stderr");
  return result;
}

}  // namespace test_support
