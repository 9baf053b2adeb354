// The least a data dump of one table must do, as a whole process to time against the dump
// tools: connect, "SELECT COUNT(*) FROM t", then stream "SELECT * FROM t" with
// mysql_use_result + mysql_fetch_row on the same connection, writing nothing.
//   dump_floor [--host H] [--port P] [--user U] [--password W] [--database D] --table T
// Prints "rows=N bytes=B" so a caller can check it saw the whole table.
#include <mysql.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(MYSQL* m, const char* what) {
  std::fprintf(stderr, "dump_floor: %s: %s\n", what, m ? mysql_error(m) : "out of memory");
  std::exit(1);
}

void Query(MYSQL* m, const std::string& sql) {
  if (mysql_real_query(m, sql.data(), sql.size())) Fail(m, sql.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1", user = "root", password = "vbr7463", database = "bench", table;
  unsigned port = 3306;
  if (const char* h = std::getenv("TARVIX_TEST_HOST"); h && *h) host = h;
  if (const char* p = std::getenv("TARVIX_TEST_PORT"); p && *p) port = static_cast<unsigned>(std::atoi(p));
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view a = argv[i];
    const char* v = argv[i + 1];
    if (a == "--host") host = v;
    else if (a == "--port") port = static_cast<unsigned>(std::atoi(v));
    else if (a == "--user") user = v;
    else if (a == "--password") password = v;
    else if (a == "--database") database = v;
    else if (a == "--table") table = v;
    else {
      std::fprintf(stderr, "dump_floor: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (table.empty() || table.find('`') != std::string::npos) {
    std::fprintf(stderr, "usage: dump_floor [--host H] [--port P] [--user U] [--password W] [--database D] --table T\n");
    return 2;
  }

  MYSQL* m = mysql_init(nullptr);
  if (!m) Fail(nullptr, "mysql_init");
  const unsigned protocol = MYSQL_PROTOCOL_TCP;
  mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
  mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
  if (!mysql_real_connect(m, host.c_str(), user.c_str(), password.c_str(), database.c_str(), port, nullptr, 0))
    Fail(m, "connect");

  Query(m, "SELECT COUNT(*) FROM `" + table + "`");
  MYSQL_RES* res = mysql_store_result(m);
  if (!res) Fail(m, "COUNT(*)");
  mysql_free_result(res);

  Query(m, "SELECT * FROM `" + table + "`");
  res = mysql_use_result(m);
  if (!res) Fail(m, "SELECT *");
  const unsigned n = mysql_num_fields(res);
  uint64_t rows = 0, bytes = 0;
  while (MYSQL_ROW row = mysql_fetch_row(res)) {
    const unsigned long* lengths = mysql_fetch_lengths(res);
    ++rows;
    for (unsigned i = 0; i < n; ++i) bytes += row[i] ? lengths[i] : 0;
  }
  if (mysql_errno(m)) Fail(m, "fetch");
  mysql_free_result(res);
  mysql_close(m);
  std::printf("rows=%" PRIu64 " bytes=%" PRIu64 "\n", rows, bytes);
  return 0;
}
