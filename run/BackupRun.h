#pragma once
// One backup run over a list of tables, shared by the command line and the backup window: the
// run folder, each table's script under a temporary name until it is whole, a failed table's
// partial script kept as ".sql.incompleto", and all tables read from one consistent snapshot.
#include <cstdint>
#include <string>
#include <vector>

#include "dump/MyDump.h"
#include "runfiles/RunFolder.h"

namespace run {

// The settings of the backup's dump component: table data only, no header, no TRUNCATE, no
// locks, one INSERT per row with the column list; every other option at its default.
void UseBackupSettings(dump::TMyDump& dump);

// The catalogue's tables and views of the database given as :mtabela, in the catalogue's order.
inline constexpr const char* kTableListSQL =
    "SELECT TABLE_NAME FROM information_schema.tables \r\n"
    "where (table_schema =:mtabela) ";

struct TableOutcome {
  std::u16string table;
  std::string path;         // the .sql file, or the .sql.incompleto file after a failure
  bool ok = false;
  bool escapedName = false;  // the file name differs from the table name
  std::string error;         // the failure's own message
  uint64_t bytes = 0;
};

class BackupRun {
 public:
  // Composes the run folder below chosenFolder from the clock and creates it with its parents
  // (throws std::runtime_error when it cannot).
  BackupRun(dump::TMyDump& dump, std::string_view chosenFolder,
            const runfiles::Clock& clock = runfiles::SystemClock());

  const std::string& Folder() const { return folder_; }

  // Starts a read-only transaction with a consistent snapshot on the dump's connection, so that
  // every table is read as of this moment.
  void BeginSnapshot();
  // Ends it; errors are ignored (the scripts are already complete).
  void EndSnapshot() noexcept;

  // Writes one table's script; never throws for a failure of the table itself.
  TableOutcome BackupTable(const std::u16string& table);

 private:
  dump::TMyDump& dump_;
  std::string folder_;
  bool inSnapshot_ = false;
};

}  // namespace run
