#include "run/BackupRun.h"

#include <filesystem>

#include "platform/TextEncoding.h"
#include "runfiles/ScriptFile.h"

namespace run {

void UseBackupSettings(dump::TMyDump& dump) {
  dump.SetObjects({dump::TMyDumpObject::doData});
  dump::TMyDumpOptions& o = dump.Options();
  o.SetGenerateHeader(false);
  o.SetAddDrop(false);
  o.SetCompleteInsert(true);
  o.SetAddLock(false);
  o.SetUseExtSyntax(false);
}

BackupRun::BackupRun(dump::TMyDump& dump, std::string_view chosenFolder, const runfiles::Clock& clock)
    : dump_(dump), folder_(runfiles::NewRunFolderName(chosenFolder, clock)) {
  runfiles::CreateFolderWithParents(folder_);
}

void BackupRun::BeginSnapshot() {
  db::TMyConnection* c = dump_.Connection();
  if (!c) throw dump::EDAError("Connection is not defined");
  c->ConnectCounted();
  try {
    c->ExecSQL("SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ");
    c->ExecSQL("START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY");
  } catch (...) {
    c->ReleaseCounted();
    throw;
  }
  inSnapshot_ = true;
}

void BackupRun::EndSnapshot() noexcept {
  if (!inSnapshot_) return;
  inSnapshot_ = false;
  db::TMyConnection* c = dump_.Connection();
  if (!c) return;
  try {
    if (c->Connected()) c->ExecSQL("COMMIT");
  } catch (...) {
    // A lost connection has ended the transaction already.
  }
  c->ReleaseCounted();
}

TableOutcome BackupRun::BackupTable(const std::u16string& table) {
  TableOutcome outcome;
  outcome.table = table;
  const std::string name = platform::Utf16ToUtf8(table);
  try {
    runfiles::ScriptFile file(folder_, name);
    outcome.escapedName = file.Name().escaped;
    outcome.path = file.FinalPath();
    try {
      dump_.SetTableNamesList({table});
      dump_.BackupToFile(file.TemporaryPath());
      outcome.bytes = std::filesystem::file_size(file.TemporaryPath());
      file.Commit();
      outcome.ok = true;
    } catch (const std::exception& e) {
      outcome.error = e.what();
      try {
        if (std::string kept = file.MarkIncomplete(); !kept.empty()) outcome.path = kept;
      } catch (const std::exception& rename) {
        outcome.error += std::string(" (") + rename.what() + ")";
      }
    }
  } catch (const std::exception& e) {
    outcome.error = e.what();
  }
  return outcome;
}

}  // namespace run
