#pragma once
// The command line of tarvix-dump.
#include <optional>
#include <string>
#include <vector>

#include "dump/DumpTypes.h"

namespace tools {

struct DumpArgs {
  std::string host = "localhost";
  unsigned port = 3306;
  std::string user = "root";
  std::string password;
  std::string database;
  std::string tables;
  std::string output;
  bool direct = false;
  bool progress = false;
  int connectTimeout = 30;

  bool hexBlob = false;
  bool extSyntax = false;
  int commitBatchSize = 0;
  dump::TMyInsertType insertType = dump::TMyInsertType::itInsert;
  bool delayed = false;
  bool quoteNames = false;
  bool header = false;
  bool addDrop = false;
  bool addLock = false;
  bool disableKeys = false;
  bool fieldsAsString = false;
  std::string charset;
  bool useUnicode = false;
  bool checkBackslashes = false;

  std::string ini;        // Admin.ini to take server, port, database and mode from
  bool all = false;       // every table and view of the database into a new run folder
  std::string outputDir;  // where --all creates its run folder

  bool help = false;
};

// Parses argv; throws std::invalid_argument with a message for the user. Connection settings
// given on the command line win over those of --ini.
DumpArgs ParseDumpArgs(const std::vector<std::string>& args);
const char* DumpUsage();

}  // namespace tools
