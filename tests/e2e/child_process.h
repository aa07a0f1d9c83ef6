#pragma once
// A program under test run as a child process: stdout and stderr captured through
// pipes, read against a deadline, killed (by its own pid or handle only) if the
// test gives up on it. POSIX (posix_spawn, poll) and Windows (CreateProcess,
// pipes peeked without blocking). kNewline is how the program's lines end on
// this platform: a Windows console program writes CR LF in text mode.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifndef _WIN32
extern char** environ;
#endif

namespace velarin::testing {

#ifdef _WIN32
inline constexpr std::string_view kNewline = "\r\n";
#else
inline constexpr std::string_view kNewline = "\n";
#endif

// The lines of a program's output, without their line ends.
inline std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (kNewline.size() == 2 && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

#ifndef _WIN32
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    CloseFds();
  }

  // Starts argv[0] with `argv`; the variables in `unset_env` are removed from its
  // environment and `set_env` ("NAME=value") added.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& unset_env = {},
             const std::vector<std::string>& set_env = {}) {
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0) return false;
    if (pipe(err_pipe) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Nothing else of ours: a pty master left open in the child would keep its line up.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      bool drop = false;
      for (const std::string& name : unset_env) drop = drop || entry.rfind(name + "=", 0) == 0;
      if (!drop) env.push_back(entry);
    }
    for (const std::string& entry : set_env) env.push_back(entry);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (std::string& arg : args) argp.push_back(arg.data());
    argp.push_back(nullptr);

    const int rc = posix_spawn(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    out_fd_ = out_pipe[0];
    err_fd_ = err_pipe[0];
    if (rc != 0) {
      pid_ = -1;
      CloseFds();
      return false;
    }
    return true;
  }

  // Reads output until `done(out)` holds, the child's output ends, or `timeout_ms` pass.
  bool WaitForOutput(const std::function<bool(const std::string&)>& done, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      if (done(out)) return true;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0 || (out_fd_ < 0 && err_fd_ < 0)) return done(out);
      ReadSome(static_cast<int>(left));
    }
  }
  bool WaitForLine(const std::string& line, int timeout_ms) {
    return WaitForOutput(
        [&](const std::string& o) {
          const std::string whole = line + std::string(kNewline);
          return o.rfind(whole, 0) == 0 || o.find("\n" + whole) != std::string::npos;
        },
        timeout_ms);
  }
  size_t CountLinesStarting(const std::string& prefix) const {
    size_t n = out.rfind(prefix, 0) == 0 ? 1 : 0;
    for (size_t at = out.find("\n" + prefix); at != std::string::npos;
         at = out.find("\n" + prefix, at + 1))
      ++n;
    return n;
  }

  // The exit code once the child ended (its output read to the end); -1 if it
  // had to be killed after `timeout_ms`, 128+N after signal N.
  int Wait(int timeout_ms) {
    WaitForOutput([](const std::string&) { return false; }, timeout_ms);
    if (out_fd_ >= 0 || err_fd_ >= 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      exited_ = true;
      CloseFds();
      return -1;
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
  }

  void Signal(int sig) {
    if (pid_ > 0 && !exited_) kill(pid_, sig);
  }

  std::string out;
  std::string err;

 private:
  void ReadSome(int timeout_ms) {
    pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    if (poll(fds, 2, timeout_ms) <= 0) return;
    ReadInto(fds[0], &out_fd_, &out);
    ReadInto(fds[1], &err_fd_, &err);
  }
  static void ReadInto(const pollfd& p, int* fd, std::string* text) {
    if (*fd < 0 || (p.revents & (POLLIN | POLLHUP | POLLERR)) == 0) return;
    char buf[4096];
    const ssize_t n = read(*fd, buf, sizeof buf);
    if (n > 0) {
      text->append(buf, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      close(*fd);
      *fd = -1;
    }
  }
  void CloseFds() {
    if (out_fd_ >= 0) close(out_fd_);
    if (err_fd_ >= 0) close(err_fd_);
    out_fd_ = err_fd_ = -1;
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int out_fd_ = -1;
  int err_fd_ = -1;
};

#else  // _WIN32

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (process_ != nullptr && !exited_) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, INFINITE);
    }
    if (process_ != nullptr) CloseHandle(process_);
    CloseHandles();
  }

  // Starts argv[0] with `argv`. Environment changes are not needed on Windows.
  bool Start(const std::vector<std::string>& argv) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out_write = nullptr;
    HANDLE err_write = nullptr;
    if (!CreatePipe(&out_, &out_write, &inherit, 0)) return false;
    if (!CreatePipe(&err_, &err_write, &inherit, 0)) return false;
    SetHandleInformation(out_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err_, HANDLE_FLAG_INHERIT, 0);
    HANDLE null_in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = null_in;
    si.hStdOutput = out_write;
    si.hStdError = err_write;
    std::string line;
    for (const std::string& arg : argv) {
      if (!line.empty()) line += ' ';
      line += Quoted(arg);
    }
    PROCESS_INFORMATION pi{};
    const BOOL ok =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out_write);
    CloseHandle(err_write);
    if (null_in != INVALID_HANDLE_VALUE) CloseHandle(null_in);
    if (!ok) {
      CloseHandles();
      return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    return true;
  }

  bool WaitForOutput(const std::function<bool(const std::string&)>& done, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      if (done(out)) return true;
      if (std::chrono::steady_clock::now() >= deadline || (out_ == nullptr && err_ == nullptr))
        return done(out);
      const bool got = ReadInto(&out_, &out) | ReadInto(&err_, &err);
      if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  bool WaitForLine(const std::string& line, int timeout_ms) {
    return WaitForOutput(
        [&](const std::string& o) {
          const std::string whole = line + std::string(kNewline);
          return o.rfind(whole, 0) == 0 || o.find("\n" + whole) != std::string::npos;
        },
        timeout_ms);
  }
  size_t CountLinesStarting(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& l : OutputLines(out)) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  // The exit code once the child ended (its output read to the end); -1 if it
  // had to be killed after `timeout_ms`.
  int Wait(int timeout_ms) {
    WaitForOutput([](const std::string&) { return false; }, timeout_ms);
    if (out_ != nullptr || err_ != nullptr) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, INFINITE);
      exited_ = true;
      CloseHandles();
      return -1;
    }
    WaitForSingleObject(process_, INFINITE);
    exited_ = true;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
  }

  std::string out;
  std::string err;

 private:
  static std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string q = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      q.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
      backslashes = 0;
      q += c;
    }
    q.append(backslashes * 2, '\\');
    return q + "\"";
  }
  // Takes what the pipe holds without blocking; closes it at its end.
  static bool ReadInto(HANDLE* pipe, std::string* text) {
    if (*pipe == nullptr) return false;
    DWORD available = 0;
    if (!PeekNamedPipe(*pipe, nullptr, 0, nullptr, &available, nullptr)) {
      CloseHandle(*pipe);
      *pipe = nullptr;
      return false;
    }
    if (available == 0) return false;
    std::vector<char> buf(available);
    DWORD got = 0;
    if (!ReadFile(*pipe, buf.data(), available, &got, nullptr)) return false;
    text->append(buf.data(), got);
    return got > 0;
  }
  void CloseHandles() {
    if (out_ != nullptr) CloseHandle(out_);
    if (err_ != nullptr) CloseHandle(err_);
    out_ = err_ = nullptr;
  }

  HANDLE process_ = nullptr;
  bool exited_ = false;
  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
};

#endif  // _WIN32

}  // namespace velarin::testing
