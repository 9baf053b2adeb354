// Runs one command and prints its wall time, CPU time and peak RSS on one line:
//   timeit [--out FILE] -- COMMAND [ARG...]
//   -> "wall_s=0.8123 cpu_s=0.4410 rss_kb=5632 status=0"
// The command is executed directly (no shell in between, so the RSS is the command's own);
// --out sends its standard output to FILE, as "> FILE" would. Millisecond resolution, where
// /usr/bin/time gives centiseconds.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>

int main(int argc, char** argv) {
  const char* out = nullptr;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--out" && i + 1 < argc) out = argv[++i];
    else {
      std::fprintf(stderr, "usage: timeit [--out FILE] -- COMMAND [ARG...]\n");
      return 2;
    }
  }
  if (i >= argc) {
    std::fprintf(stderr, "timeit: no command\n");
    return 2;
  }
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("timeit: fork");
    return 2;
  }
  if (pid == 0) {
    if (out) {
      const int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) {
        std::perror("timeit: output file");
        _exit(127);
      }
    }
    execvp(argv[i], argv + i);
    std::fprintf(stderr, "timeit: %s: %s\n", argv[i], std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("wall_s=%.4f cpu_s=%.4f rss_kb=%ld status=%d\n", wall, cpu, usage.ru_maxrss, code);
  return code;
}
