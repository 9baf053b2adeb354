// Streaming fetch of a whole table: our access layer (TMyQuery, forward-only) against a bare
// client-library loop on the same data. Every run of every variant is a forked child, so peak
// RSS is that variant's own and no state (allocator, caches of ours) carries over; variants
// alternate within each round so drift of the machine hits them alike.
#include <mysql.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "access/MyConnection.h"
#include "access/MyQuery.h"

namespace {

struct Options {
  std::string host = "127.0.0.1";
  unsigned port = 3306;
  std::string user = "root";
  std::string password = "vbr7463";
  std::string database = "bench";
  std::string table = "erp_rows";
  int runs = 5;
  std::string mode = "lib";  // lib | direct | both
  bool touchBytes = false;   // read every byte, not only the lengths
  int timeoutSec = 600;
  int warmups = 2;  // untimed bare runs first, so the table is in the server's buffer pool
};

enum class Variant { OursLib, OursDirect, Bare };

const char* Name(Variant v) {
  switch (v) {
    case Variant::OursLib: return "ours-lib";
    case Variant::OursDirect: return "ours-direct";
    case Variant::Bare: return "bare-lib";
  }
  return "?";
}

// What a consumer saw: compared across variants, so a variant that skips or mangles data shows.
struct Tally {
  uint64_t rows = 0;
  uint64_t nulls = 0;
  uint64_t bytes = 0;
  uint64_t sum = 0;  // byte sum under --touch bytes
  bool operator==(const Tally&) const = default;
};

struct RunResult {
  bool ok = false;
  std::string error;
  double seconds = 0;  // query and fetch; the connect is not counted
  Tally tally;
  long maxRssKb = 0;
  double cpuSeconds = 0;  // the child's user + system time, connect included
};

// Plain byte sum: cheap, and the compiler cannot drop the reads.
inline uint64_t SumBytes(const char* p, size_t n) {
  uint64_t s = 0;
  for (size_t i = 0; i < n; ++i) s += static_cast<unsigned char>(p[i]);
  return s;
}

inline void Touch(Tally& t, const char* data, size_t length, bool touchBytes) {
  t.bytes += length;
  if (touchBytes) t.sum += SumBytes(data, length);
}

std::string SelectAll(const Options& o) { return "SELECT * FROM `" + o.table + "`"; }

using Clock = std::chrono::steady_clock;

RunResult RunOurs(const Options& o, bool direct) {
  RunResult r;
  db::TMyConnection conn;
  conn.Server = o.host;
  conn.Port = o.port;
  conn.Username = o.user;
  conn.Password = o.password;
  conn.Database = o.database;
  conn.Options.Direct = direct;
  conn.Open();

  db::TMyQuery q(&conn);
  q.UniDirectional = true;
  q.SetSQL(SelectAll(o));
  const auto start = Clock::now();
  q.Open();
  const size_t n = q.FieldCount();
  std::vector<db::TField*> fields(n);
  for (size_t i = 0; i < n; ++i) fields[i] = &q.Fields(i);
  while (!q.Eof()) {
    ++r.tally.rows;
    for (db::TField* f : fields) {
      if (f->IsNull()) {
        ++r.tally.nulls;
        continue;
      }
      const std::string_view b = f->AsBytes();
      Touch(r.tally, b.data(), b.size(), o.touchBytes);
    }
    q.Next();
  }
  q.Close();
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.ok = true;
  return r;
}

RunResult RunBare(const Options& o) {
  RunResult r;
  MYSQL* m = mysql_init(nullptr);
  if (!m) throw std::runtime_error("mysql_init failed");
  const unsigned protocol = MYSQL_PROTOCOL_TCP;
  mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
  mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
  if (!mysql_real_connect(m, o.host.c_str(), o.user.c_str(), o.password.c_str(), o.database.c_str(),
                          o.port, nullptr, 0)) {
    std::string e = mysql_error(m);
    mysql_close(m);
    throw std::runtime_error(e);
  }
  const std::string sql = SelectAll(o);
  const auto start = Clock::now();
  if (mysql_real_query(m, sql.data(), sql.size())) throw std::runtime_error(mysql_error(m));
  MYSQL_RES* res = mysql_use_result(m);
  if (!res) throw std::runtime_error(mysql_error(m));
  const unsigned n = mysql_num_fields(res);
  while (MYSQL_ROW row = mysql_fetch_row(res)) {
    const unsigned long* lengths = mysql_fetch_lengths(res);
    ++r.tally.rows;
    for (unsigned i = 0; i < n; ++i) {
      if (!row[i]) {
        ++r.tally.nulls;
        continue;
      }
      Touch(r.tally, row[i], lengths[i], o.touchBytes);
    }
  }
  if (mysql_errno(m)) throw std::runtime_error(mysql_error(m));
  mysql_free_result(res);
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  mysql_close(m);
  r.ok = true;
  return r;
}

// The child writes one line to the pipe: "ok SECONDS ROWS NULLS BYTES SUM" or "error TEXT".
[[noreturn]] void ChildMain(const Options& o, Variant v, int fd) {
  alarm(static_cast<unsigned>(o.timeoutSec));  // a hung run ends by SIGALRM, reported by the parent
  char line[4096];
  try {
    const RunResult r = v == Variant::Bare ? RunBare(o) : RunOurs(o, v == Variant::OursDirect);
    std::snprintf(line, sizeof line, "ok %.6f %" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", r.seconds,
                  r.tally.rows, r.tally.nulls, r.tally.bytes, r.tally.sum);
  } catch (const std::exception& e) {
    std::snprintf(line, sizeof line, "error %s\n", e.what());
  }
  const size_t len = std::strlen(line);
  if (write(fd, line, len) != static_cast<ssize_t>(len)) _exit(2);
  _exit(0);
}

RunResult RunChild(const Options& o, Variant v) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    close(fds[0]);
    ChildMain(o, v, fds[1]);
  }
  close(fds[1]);
  std::string text;
  char buf[4096];
  for (ssize_t k; (k = read(fds[0], buf, sizeof buf)) != 0;) {
    if (k < 0) {
      if (errno == EINTR) continue;
      break;
    }
    text.append(buf, static_cast<size_t>(k));
  }
  close(fds[0]);

  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  RunResult r;
  r.maxRssKb = usage.ru_maxrss;
  r.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (WIFSIGNALED(status)) {
    r.error = WTERMSIG(status) == SIGALRM ? "timed out after " + std::to_string(o.timeoutSec) + " s"
                                          : std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return r;
  }
  if (text.rfind("ok ", 0) == 0) {
    Tally& t = r.tally;
    if (std::sscanf(text.c_str(), "ok %lf %" SCNu64 " %" SCNu64 " %" SCNu64 " %" SCNu64, &r.seconds, &t.rows,
                    &t.nulls, &t.bytes, &t.sum) == 5) {
      r.ok = true;
      return r;
    }
  }
  if (text.rfind("error ", 0) == 0) {
    r.error = text.substr(6);
    while (!r.error.empty() && r.error.back() == '\n') r.error.pop_back();
  } else {
    r.error = "child exited with status " + std::to_string(WEXITSTATUS(status)) + " and no result";
  }
  return r;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

[[noreturn]] void Usage(const char* error = nullptr) {
  if (error) std::fprintf(stderr, "fetch_bench: %s\n", error);
  std::fprintf(stderr,
               "usage: fetch_bench [--host H] [--port P] [--user U] [--password W] [--database D]\n"
               "                   [--table T] [--runs N] [--mode lib|direct|both] [--touch lengths|bytes]\n"
               "                   [--timeout SECONDS] [--warmup N]\n"
               "Host and port default to TARVIX_TEST_HOST / TARVIX_TEST_PORT when set.\n");
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  if (const char* h = std::getenv("TARVIX_TEST_HOST"); h && *h) o.host = h;
  if (const char* p = std::getenv("TARVIX_TEST_PORT"); p && *p) o.port = static_cast<unsigned>(std::atoi(p));
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "-h" || a == "--help") Usage();
    if (i + 1 >= argc) Usage(("missing value for " + std::string(a)).c_str());
    const char* v = argv[++i];
    if (a == "--host") o.host = v;
    else if (a == "--port") o.port = static_cast<unsigned>(std::atoi(v));
    else if (a == "--user") o.user = v;
    else if (a == "--password") o.password = v;
    else if (a == "--database") o.database = v;
    else if (a == "--table") o.table = v;
    else if (a == "--runs") o.runs = std::atoi(v);
    else if (a == "--mode") o.mode = v;
    else if (a == "--touch") {
      if (std::string_view(v) != "lengths" && std::string_view(v) != "bytes") Usage("--touch takes lengths or bytes");
      o.touchBytes = std::string_view(v) == "bytes";
    } else if (a == "--timeout") o.timeoutSec = std::atoi(v);
    else if (a == "--warmup") o.warmups = std::atoi(v);
    else Usage(("unknown option " + std::string(a)).c_str());
  }
  if (o.mode != "lib" && o.mode != "direct" && o.mode != "both") Usage("--mode takes lib, direct or both");
  if (o.runs < 1) Usage("--runs must be at least 1");
  if (o.timeoutSec < 1) o.timeoutSec = 1;
  if (o.warmups < 0) o.warmups = 0;
  if (o.table.find('`') != std::string::npos) Usage("bad table name");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  std::vector<Variant> variants;
  if (o.mode != "direct") variants.push_back(Variant::OursLib);
  if (o.mode != "lib") variants.push_back(Variant::OursDirect);
  variants.push_back(Variant::Bare);

  std::printf("fetch_bench: %s.%s on %s:%u, %d runs, touch %s\n", o.database.c_str(), o.table.c_str(),
              o.host.c_str(), o.port, o.runs, o.touchBytes ? "bytes" : "lengths");

  struct Series {
    Variant v;
    std::vector<double> seconds;
    std::vector<double> cpu;
    long maxRssKb = 0;
    std::string error;
    Tally tally;
  };
  std::vector<Series> series;
  for (Variant v : variants) series.push_back({v, {}, {}, 0, {}, {}});

  for (int w = 0; w < o.warmups; ++w) {
    const RunResult r = RunChild(o, Variant::Bare);
    if (!r.ok) {
      std::printf("warm-up FAILED: %s\n", r.error.c_str());
      return 3;
    }
    std::printf("warm-up %-12s %8.3f s wall\n", Name(Variant::Bare), r.seconds);
  }

  for (int run = 1; run <= o.runs; ++run) {
    // Rotate the order each round: the first child of a round may meet colder server caches.
    for (size_t k = 0; k < series.size(); ++k) {
      Series& s = series[(k + static_cast<size_t>(run - 1)) % series.size()];
      if (!s.error.empty()) continue;  // a variant that failed once is not retried
      const RunResult r = RunChild(o, s.v);
      if (!r.ok) {
        s.error = r.error;
        std::printf("run %d  %-12s FAILED: %s\n", run, Name(s.v), r.error.c_str());
        continue;
      }
      if (s.seconds.empty()) s.tally = r.tally;
      else if (!(r.tally == s.tally)) s.error = "results differ between runs";
      s.seconds.push_back(r.seconds);
      s.cpu.push_back(r.cpuSeconds);
      s.maxRssKb = std::max(s.maxRssKb, r.maxRssKb);
      std::printf("run %d  %-12s %8.3f s wall  %7.3f s client CPU  %6.1f MiB peak RSS\n", run, Name(s.v),
                  r.seconds, r.cpuSeconds, r.maxRssKb / 1024.0);
      std::fflush(stdout);
    }
  }

  const Series& bare = series.back();
  const double bareMedian = Median(bare.seconds);
  const double bareCpu = Median(bare.cpu);
  int status = 0;
  // Wall time is mostly the server producing rows (it shares the machine); client CPU is where
  // the layers differ.
  std::printf("\n%-12s %10s %8s %10s %8s %12s %10s %8s\n", "variant", "median s", "ratio", "CPU s", "ratio",
              "peak RSS MiB", "rows", "MB/s");
  for (const Series& s : series) {
    if (s.seconds.empty() || !s.error.empty()) {
      std::printf("%-12s FAILED: %s\n", Name(s.v), s.error.c_str());
      status = 3;
      continue;
    }
    const double med = Median(s.seconds);
    const double ratio = bareMedian > 0 && !bare.seconds.empty() ? med / bareMedian : 0;
    const double cpu = Median(s.cpu);
    const double cpuRatio = bareCpu > 0 && !bare.cpu.empty() ? cpu / bareCpu : 0;
    std::printf("%-12s %10.3f %8.3f %10.3f %8.3f %12.1f %10" PRIu64 " %8.1f\n", Name(s.v), med, ratio, cpu, cpuRatio,
                s.maxRssKb / 1024.0, s.tally.rows, med > 0 ? s.tally.bytes / med / 1e6 : 0.0);
    if (s.v != Variant::Bare && !bare.seconds.empty() && !(s.tally == bare.tally)) {
      std::printf("%-12s MISMATCH: rows %" PRIu64 "/%" PRIu64 ", nulls %" PRIu64 "/%" PRIu64 ", bytes %" PRIu64
                  "/%" PRIu64 " (ours/bare)\n",
                  Name(s.v), s.tally.rows, bare.tally.rows, s.tally.nulls, bare.tally.nulls, s.tally.bytes,
                  bare.tally.bytes);
      status = 3;
    }
  }
  // One line per variant for scripts: key=value, stable names.
  for (const Series& s : series) {
    const bool ok = !s.seconds.empty() && s.error.empty();
    const double med = ok ? Median(s.seconds) : 0.0;
    const double cpu = ok ? Median(s.cpu) : 0.0;
    std::printf("RESULT table=%s variant=%s status=%s median_s=%.4f ratio=%.4f cpu_s=%.4f cpu_ratio=%.4f "
                "peak_rss_kb=%ld rows=%" PRIu64 "\n",
                o.table.c_str(), Name(s.v), ok ? "ok" : "failed", med, bareMedian > 0 ? med / bareMedian : 0.0, cpu,
                bareCpu > 0 ? cpu / bareCpu : 0.0, s.maxRssKb, s.tally.rows);
  }
  return status;
}
