#include "tools/DumpArgs.h"

#include <charconv>
#include <stdexcept>

namespace tools {
namespace {

int ToInt(const std::string& flag, const std::string& value, int min, int max) {
  int n = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n < min || n > max)
    throw std::invalid_argument(flag + ": '" + value + "' is not a number from " + std::to_string(min) + " to " +
                                std::to_string(max));
  return n;
}

}  // namespace

const char* DumpUsage() {
  return "usage: tarvix-dump --database D --tables \"NAMES\" --output FILE [options]\n"
         "Writes the rows of the named tables as one SQL data script.\n"
         "\n"
         "Connection:\n"
         "  --host H                 server (default localhost; always TCP)\n"
         "  --port P                 port (default 3306)\n"
         "  --user U                 user (default root)\n"
         "  --password W             password\n"
         "  --database D             database\n"
         "  --direct                 our own protocol instead of the client library\n"
         "  --connect-timeout S      seconds for connect and handshake (default 30)\n"
         "  --charset NAME           connection character set (default: utf8mb4, script in ANSI)\n"
         "  --use-unicode            UTF-16 script after FF FE\n"
         "  --check-backslashes      ask the server whether backslashes escape\n"
         "Script:\n"
         "  --tables \"NAMES\"         table names separated by ',' or ';' (backticks keep a name whole)\n"
         "  --output FILE            the script file (replaced when it exists)\n"
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
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(flag + " needs a value");
      return args[++i];
    };
    if (flag == "--help" || flag == "-h") a.help = true;
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
  if (a.tables.empty()) throw std::invalid_argument("--tables is required (see --help)");
  if (a.output.empty()) throw std::invalid_argument("--output is required (see --help)");
  return a;
}

}  // namespace tools
