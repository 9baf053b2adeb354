#include "tools/WholeDatabase.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "access/MyQuery.h"
#include "platform/TextEncoding.h"
#include "run/BackupRun.h"

namespace tools {
namespace {

// The catalogue's tables and views of the database, in the catalogue's order.
std::vector<std::u16string> CatalogueTables(db::TMyConnection& connection, const std::string& database) {
  db::TMyQuery list(&connection);
  list.SetSQL(run::kTableListSQL);
  list.ParamByName("mtabela").SetAsString(database);
  list.Open();
  std::vector<std::u16string> names;
  for (; !list.Eof(); list.Next()) names.push_back(platform::Utf8ToUtf16(list.Fields(0).AsBytes()));
  return names;
}

// A one-line progress bar on a terminal: table n of N and the percent of the current table.
class ProgressBar {
 public:
  explicit ProgressBar(size_t total) : total_(total), terminal_(isatty(STDERR_FILENO) != 0) {}
  void Table(size_t n, const std::string& name) {
    n_ = n;
    name_ = name;
    percent_ = -1;
  }
  void Percent(int p) {
    if (!terminal_ || p == percent_) return;
    percent_ = p;
    constexpr int kWidth = 30;
    const int filled = p * kWidth / 100;
    std::fprintf(stderr, "\r\033[K[%zu/%zu] [%.*s%*s] %3d%% %s", n_, total_, filled,
                 "##############################", kWidth - filled, "", p, name_.c_str());
    std::fflush(stderr);
  }
  void Done() {
    if (terminal_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  size_t total_, n_ = 0;
  std::string name_;
  int percent_ = -1;
  bool terminal_;
};

}  // namespace

int BackupWholeDatabase(const DumpArgs& args, db::TMyConnection& connection, dump::TMyDump& dump) {
  const auto started = std::chrono::steady_clock::now();
  connection.Open();
  const std::vector<std::u16string> tables = CatalogueTables(connection, args.database);

  run::BackupRun backup(dump, args.outputDir);
  ProgressBar bar(tables.size());
  uint64_t rows = 0;
  int events = 0;
  dump.OnBackupProgress = [&](dump::TDADump*, const std::u16string&, int32_t, int32_t, int32_t percent) {
    ++events;
    bar.Percent(percent);
  };

  std::vector<run::TableOutcome> failures;
  std::vector<run::TableOutcome> escaped;
  uint64_t bytes = 0;
  backup.BeginSnapshot();
  for (size_t i = 0; i < tables.size(); ++i) {
    const std::string name = platform::Utf16ToUtf8(tables[i]);
    bar.Table(i + 1, name);
    events = 0;
    run::TableOutcome outcome = backup.BackupTable(tables[i]);
    // A table's events are 0, 0, one per row and 100; a view raises none.
    if (outcome.ok && events > 3) rows += static_cast<uint64_t>(events - 3);
    bytes += outcome.bytes;
    if (outcome.escapedName) escaped.push_back(outcome);
    if (!outcome.ok) {
      bar.Done();
      std::fprintf(stderr, "tarvix-dump: table %s: %s\n", name.c_str(), outcome.error.c_str());
      failures.push_back(std::move(outcome));
    }
  }
  backup.EndSnapshot();
  bar.Done();

  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%s\n", backup.Folder().c_str());
  std::printf("tables: %zu, rows: %llu, bytes: %llu, seconds: %.2f, escaped file names: %zu, failures: %zu\n",
              tables.size(), static_cast<unsigned long long>(rows), static_cast<unsigned long long>(bytes), seconds,
              escaped.size(), failures.size());
  for (const run::TableOutcome& e : escaped)
    std::printf("escaped: %s -> %s\n", platform::Utf16ToUtf8(e.table).c_str(), e.path.c_str());
  for (const run::TableOutcome& f : failures)
    std::printf("failed: %s (%s): %s\n", platform::Utf16ToUtf8(f.table).c_str(), f.path.c_str(), f.error.c_str());
  return failures.empty() ? 0 : 1;
}

}  // namespace tools
