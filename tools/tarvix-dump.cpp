// tarvix-dump: one BackupToFile of the named tables, for scripts, tests and benchmarks.
#include <cstdio>
#include <exception>
#include <iostream>

#include "access/MyConnection.h"
#include "dump/MyDump.h"
#include "platform/TextEncoding.h"
#include "run/BackupRun.h"
#include "tools/DumpArgs.h"
#include "tools/WholeDatabase.h"

namespace {

void Configure(dump::TMyDump& d, const tools::DumpArgs& a) {
  run::UseBackupSettings(d);
  dump::TMyDumpOptions& o = d.Options();
  o.SetGenerateHeader(a.header);
  o.SetAddDrop(a.addDrop);
  o.SetQuoteNames(a.quoteNames);
  o.SetAddLock(a.addLock);
  o.SetDisableKeys(a.disableKeys);
  o.SetHexBlob(a.hexBlob);
  o.SetUseExtSyntax(a.extSyntax);
  o.SetUseDelayedIns(a.delayed);
  o.SetCommitBatchSize(a.commitBatchSize);
  o.SetInsertType(a.insertType);
  o.SetFieldsAsString(a.fieldsAsString);
}

int Run(const tools::DumpArgs& a) {
  db::TMyConnection connection;
  connection.Server = a.host;
  connection.Port = a.port;
  connection.Username = a.user;
  connection.Password = a.password;
  connection.Database = a.database;
  connection.ConnectionTimeout = a.connectTimeout;
  connection.Options.Direct = a.direct;
  connection.Options.UseUnicode = a.useUnicode;
  connection.Options.Charset = a.charset;
  connection.SetCheckBackslashes(a.checkBackslashes);

  dump::TMyDump d;
  Configure(d, a);
  d.SetConnection(&connection);
  if (a.all) return tools::BackupWholeDatabase(a, connection, d);
  d.SetTableNames(platform::Utf8ToUtf16(a.tables));
  if (a.progress)
    d.OnBackupProgress = [](dump::TDADump*, const std::u16string& name, int32_t num, int32_t count, int32_t percent) {
      std::fprintf(stderr, "progress\t%s\t%d\t%d\t%d\n", platform::Utf16ToUtf8(name).c_str(), num, count, percent);
    };
  d.BackupToFile(a.output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tools::DumpArgs args;
  try {
    args = tools::ParseDumpArgs(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "tarvix-dump: " << e.what() << "\n";
    return 2;
  }
  if (args.help) {
    std::cout << tools::DumpUsage();
    return 0;
  }
  try {
    return Run(args);
  } catch (const std::exception& e) {
    std::cerr << "tarvix-dump: " << e.what() << "\n";
    return 1;
  }
}
