#include "tools/DumpArgs.h"

#include <charconv>
#include <filesystem>
#include <stdexcept>

#include "platform/IniFile.h"

namespace tools {
namespace {

// The password of the root account that the system's connections use.
constexpr const char* kSystemPassword = "vbr7463";

int ToInt(const std::string& flag, const std::string& value, int min, int max) {
  int n = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n < min || n > max)
    throw std::invalid_argument(flag + ": '" + value + "' is not a number from " + std::to_string(min) + " to " +
                                std::to_string(max));
  return n;
}

bool Given(const std::vector<std::string>& given, const char* flag) {
  for (const std::string& g : given)
    if (g == flag) return true;
  return false;
}

// The backup window's reading of Admin.ini: LOCAL's PORTA (0 or absent: 3306), SERVIDOR, BANCO
// and DIRECT ("S" exactly selects the direct mode).
void ApplyIni(DumpArgs& a, const std::vector<std::string>& given) {
  if (!std::filesystem::exists(a.ini)) throw std::invalid_argument("--ini: the file '" + a.ini + "' does not exist");
  const platform::TIniFile ini(a.ini);
  if (!Given(given, "--port")) {
    const int port = ini.ReadInteger("LOCAL", "PORTA", 3306);
    a.port = port <= 0 || port > 65535 ? 3306 : static_cast<unsigned>(port);
  }
  if (!Given(given, "--host")) {
    a.host = ini.ReadString("LOCAL", "SERVIDOR", "");
    if (a.host.empty()) a.host = "localhost";
  }
  if (!Given(given, "--database")) a.database = ini.ReadString("LOCAL", "BANCO", "");
  if (!Given(given, "--direct")) a.direct = ini.ReadString("LOCAL", "DIRECT", "N") == "S";
  if (!Given(given, "--password")) a.password = kSystemPassword;
}

}  // namespace

const char* DumpUsage() {
  return "usage: tarvix-dump --database D --tables \"NAMES\" --output FILE [options]\n"
         "       tarvix-dump --database D --all --output-dir DIR [options]\n"
         "Writes the rows of the named tables as one SQL data script, or (--all) every table and view\n"
         "of the database as one script per table into a new time-stamped folder below DIR, all read\n"
         "from one consistent snapshot.\n"
         "\n"
         "Connection:\n"
         "  --host H                 server (default localhost; always TCP)\n"
         "  --port P                 port (default 3306)\n"
         "  --user U                 user (default root)\n"
         "  --password W             password\n"
         "  --database D             database\n"
         "  --direct                 our own protocol instead of the client library\n"
         "  --connect-timeout S      seconds for connect and handshake (default 30)\n"
         "  --ini PATH               server, port, database and mode (DIRECT=S) from an Admin.ini;\n"
         "                           user root and the system's password unless given\n"
         "  --charset NAME           connection character set (default: utf8mb4, script in ANSI)\n"
         "  --use-unicode            UTF-16 script after FF FE\n"
         "  --check-backslashes      ask the server whether backslashes escape\n"
         "Script:\n"
         "  --tables \"NAMES\"         table names separated by ',' or ';' (backticks keep a name whole)\n"
         "  --output FILE            the script file (replaced when it exists)\n"
         "  --all                    every table and view, one script each (needs --output-dir)\n"
         "  --output-dir DIR         folder below which --all creates its run folder\n"
         "  --progress               print progress events to standard error:\n"
         "                           progress<TAB>ObjectName<TAB>ObjectNum<TAB>ObjectCount<TAB>Percent\n"
         "  --hex-blob               binary values as hexadecimal literals\n"
         "  --ext-syntax             several rows per INSERT statement\n"
         "  --commit-batch-size N    BEGIN/COMMIT around every N rows (default 0: none)\n"
         "  --insert-type T          insert | ignore | replace (default insert)\n"
         "  --delayed                INSERT DELAYED\n"
         "  --quote-names            every name between backticks\n"
         "  --header                 comment header and per-table comments\n"
         "  --add-drop               TRUNCATE TABLE before each table's rows\n"
         "  --add-lock               LOCK TABLES around each table's rows\n"
         "  --disable-keys           DISABLE KEYS around each table's rows\n"
         "  --fields-as-string       binary strings fetched as text\n"
         "  --help                   this text\n";
}

DumpArgs ParseDumpArgs(const std::vector<std::string>& args) {
  DumpArgs a;
  std::vector<std::string> given;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(flag + " needs a value");
      return args[++i];
    };
    given.push_back(flag);
    if (flag == "--help" || flag == "-h") a.help = true;
    else if (flag == "--ini") a.ini = value();
    else if (flag == "--all") a.all = true;
    else if (flag == "--output-dir") a.outputDir = value();
    else if (flag == "--host") a.host = value();
    else if (flag == "--port") a.port = static_cast<unsigned>(ToInt(flag, value(), 0, 65535));
    else if (flag == "--user") a.user = value();
    else if (flag == "--password") a.password = value();
    else if (flag == "--database") a.database = value();
    else if (flag == "--tables") a.tables = value();
    else if (flag == "--output") a.output = value();
    else if (flag == "--direct") a.direct = true;
    else if (flag == "--progress") a.progress = true;
    else if (flag == "--connect-timeout") a.connectTimeout = ToInt(flag, value(), 1, 3600);
    else if (flag == "--hex-blob") a.hexBlob = true;
    else if (flag == "--ext-syntax") a.extSyntax = true;
    else if (flag == "--commit-batch-size") a.commitBatchSize = ToInt(flag, value(), 0, 2147483647);
    else if (flag == "--insert-type") {
      const std::string& t = value();
      if (t == "insert") a.insertType = dump::TMyInsertType::itInsert;
      else if (t == "ignore") a.insertType = dump::TMyInsertType::itInsertIgnore;
      else if (t == "replace") a.insertType = dump::TMyInsertType::itReplaceInto;
      else throw std::invalid_argument("--insert-type: '" + t + "' is not insert, ignore or replace");
    }
    else if (flag == "--delayed") a.delayed = true;
    else if (flag == "--quote-names") a.quoteNames = true;
    else if (flag == "--header") a.header = true;
    else if (flag == "--add-drop") a.addDrop = true;
    else if (flag == "--add-lock") a.addLock = true;
    else if (flag == "--disable-keys") a.disableKeys = true;
    else if (flag == "--fields-as-string") a.fieldsAsString = true;
    else if (flag == "--charset") a.charset = value();
    else if (flag == "--use-unicode") a.useUnicode = true;
    else if (flag == "--check-backslashes") a.checkBackslashes = true;
    else throw std::invalid_argument("unknown option '" + flag + "' (see --help)");
  }
  if (a.help) return a;
  if (!a.ini.empty()) ApplyIni(a, given);
  if (a.all) {
    if (!a.tables.empty() || !a.output.empty())
      throw std::invalid_argument("--all writes every table: use --output-dir, not --tables or --output");
    if (a.outputDir.empty()) throw std::invalid_argument("--all needs --output-dir (see --help)");
    if (a.database.empty()) throw std::invalid_argument("--all needs a database (--database or --ini)");
    return a;
  }
  if (a.tables.empty()) throw std::invalid_argument("--tables is required (see --help)");
  if (a.output.empty()) throw std::invalid_argument("--output is required (see --help)");
  return a;
}

}  // namespace tools
