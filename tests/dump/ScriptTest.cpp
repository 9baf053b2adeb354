// The script of one table: layout, statements, options, progress and failures.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "access/MySQLError.h"
#include "dump/Stream.h"
#include "tests/dump/DumpFixture.h"

using namespace dumptest;
using dump::TMyDumpObject;

namespace {

class Script : public DumpTest {
 protected:
  void CreateTables() override {
    for (const char* sql : {
             "CREATE TABLE cidades (Codigo INT, Nome VARCHAR(40))",
             "INSERT INTO cidades VALUES (1,'Lages'),(2,'Blumenau'),(3,'Joinville')",
             "CREATE TABLE produto (id INT, nome VARCHAR(60), obs TEXT, foto BLOB, preco DECIMAL(10,2), cadastro DATETIME)",
             "INSERT INTO produto VALUES (7, 'd\\'agua\\nfria', NULL, 0x00410D, 12.50, '2023-04-08 12:04:23')",
             "CREATE TABLE vazia (id INT)",
             "CREATE VIEW cidades_view AS SELECT Nome FROM cidades",
             "CREATE TABLE `itens pedido` (Codigo INT, `data venda` DATE, `desc` VARCHAR(5))",
             "INSERT INTO `itens pedido` VALUES (1, '2023-01-02', 'x')",
             "CREATE TABLE `a``b` (id INT)", "INSERT INTO `a``b` VALUES (1)",
             "CREATE TABLE `9lives` (id INT)", "INSERT INTO `9lives` VALUES (9)",
             "CREATE TABLE `ação` (id INT)", "INSERT INTO `ação` VALUES (5)",
             "CREATE TABLE `x.y` (id INT)", "INSERT INTO `x.y` VALUES (42)",
             "CREATE TABLE cem (id INT)", "INSERT INTO cem SELECT seq FROM seq_1_to_100",
             "CREATE TABLE sete (id INT)", "INSERT INTO sete SELECT seq FROM seq_1_to_7",
             "CREATE TABLE gerada (id INT, dobro INT AS (id * 2) VIRTUAL, guardada INT AS (id + 1) PERSISTENT, "
             "oculta INT INVISIBLE DEFAULT 4)",
             "INSERT INTO gerada (id, oculta) VALUES (1, 10)",
         })
      Setup(sql);
  }
  std::string DatabasePrefix() const override { return "dump"; }
};

TEST_P(Script, worked_example_cidades_byte_for_byte_with_progress) {
  EXPECT_EQ(Dump("cidades"), std::string(kPrologue) +
                                 "INSERT INTO cidades(Codigo, Nome) VALUES (1,'Lages');\r\n"
                                 "INSERT INTO cidades(Codigo, Nome) VALUES (2,'Blumenau');\r\n"
                                 "INSERT INTO cidades(Codigo, Nome) VALUES (3,'Joinville');\r\n"
                                 "\r\n" +
                                 kEpilogue);
  const std::vector<ProgressCall> expected = {{"cidades", 0, 1, 0},  {"cidades", 0, 1, 0},  {"cidades", 0, 1, 33},
                                              {"cidades", 0, 1, 66}, {"cidades", 0, 1, 99}, {"cidades", 0, 1, 100}};
  EXPECT_EQ(progress_, expected);
}

TEST_P(Script, worked_example_produto_and_its_hex_form) {
  const std::string line =
      "INSERT INTO produto(id, nome, obs, foto, preco, cadastro) VALUES "
      "(7,'d\\'agua\\nfria',NULL,'\\0A\\r',12.50,'2023-04-08 12:04:23');\r\n";
  EXPECT_EQ(Dump("produto"), std::string(kPrologue) + line + "\r\n" + kEpilogue);
  dump_.Options().SetHexBlob(true);
  const std::string hex = Dump("produto");
  EXPECT_NE(hex.find("NULL,0x00410D,12.50"), std::string::npos) << hex;
}

TEST_P(Script, empty_table_and_view_give_the_server_variable_lines_only) {
  EXPECT_EQ(Dump("vazia"), std::string(kPrologue) + kEpilogue);
  EXPECT_EQ(progress_, (std::vector<ProgressCall>{{"vazia", 0, 1, 0}, {"vazia", 0, 1, 0}, {"vazia", 0, 1, 100}}));
  EXPECT_EQ(Dump("cidades_view"), std::string(kPrologue) + kEpilogue);
  EXPECT_TRUE(progress_.empty());
}

TEST_P(Script, names_are_quoted_where_needed_everywhere) {
  struct Case {
    const char* tables;
    const char* name;     // as the statements write it
    const char* columns;  // the column list
  } cases[] = {
      {"itens pedido", "`itens pedido`", "Codigo, `data venda`, `desc`"},
      {"`itens pedido`", "`itens pedido`", "Codigo, `data venda`, `desc`"},
      {"`a``b`", "`a``b`", "id"},
      {"9lives", "`9lives`", "id"},
      {"ação", "`ação`", "id"},
      {"`x.y`", "`x.y`", "id"},
      {"DB.cidades", "DB.cidades", "Codigo, Nome"},
      {"`DB`.`cidades`", "DB.cidades", "Codigo, Nome"},
  };
  auto withDb = [&](std::string s) {
    for (size_t at; (at = s.find("DB")) != std::string::npos;) s.replace(at, 2, database_);
    return s;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tables);
    const std::string script = Dump(withDb(c.tables));
    EXPECT_NE(script.find("INSERT INTO " + withDb(c.name) + "(" + c.columns + ") VALUES ("), std::string::npos)
        << script;
    ASSERT_FALSE(progress_.empty());
    EXPECT_EQ(progress_.front().name, withDb(c.name));
  }
  dump_.Options().SetQuoteNames(true);
  EXPECT_NE(Dump("cidades").find("INSERT INTO `cidades`(`Codigo`, `Nome`) VALUES (1,'Lages');"), std::string::npos);
}

TEST_P(Script, percent_rounds_like_extended_precision) {
  Dump("cem");
  ASSERT_EQ(progress_.size(), 103u);
  EXPECT_EQ(progress_[2 + 28].percent, 29);  // row 29
  EXPECT_EQ(progress_[2 + 52].percent, 52);  // row 53
  EXPECT_EQ(progress_[2 + 99].percent, 99);  // the last row
  EXPECT_EQ(progress_.back().percent, 100);
}

TEST_P(Script, transaction_batches_in_one_row_mode) {
  for (const auto& [size, expected] : std::vector<std::pair<int, std::string>>{
           {3, "B1 2 3C B4 5 6C B7C "}, {1, "B1C B2C B3C B4C B5C B6C B7C "}, {7, "B1 2 3 4 5 6 7C "}}) {
    dump_.Options().SetCommitBatchSize(size);
    std::string shape;
    std::istringstream lines(Dump("sete"));
    for (std::string line; std::getline(lines, line);) {
      if (line == "BEGIN;\r") shape += "B";
      else if (line == "COMMIT;\r") shape += "C ";
      else if (line.rfind("INSERT", 0) == 0) shape += (shape.empty() || shape.back() == 'B' ? "" : " ") + line.substr(line.find("VALUES (") + 8, 1);
    }
    EXPECT_EQ(shape, expected) << "batch size " << size;
  }
}

TEST_P(Script, extended_mode_closes_statements_by_running_size) {
  dump_.Options().SetUseExtSyntax(true);
  EXPECT_EQ(Dump("cidades"), std::string(kPrologue) +
                                 "INSERT INTO cidades(Codigo, Nome) VALUES\r\n"
                                 " (1,'Lages'),\r\n (2,'Blumenau'),\r\n (3,'Joinville');\r\n\r\n" +
                                 kEpilogue);
  // Rows of 3,000 bytes under a head of 40 characters: four rows per statement.
  Exec("CREATE TABLE IF NOT EXISTS largas (v VARCHAR(3000)) CHARACTER SET latin1");
  Exec("TRUNCATE TABLE largas");
  Exec("INSERT INTO largas SELECT REPEAT('x', 2995) FROM seq_1_to_9");
  dump_.Options().SetCommitBatchSize(1);
  const std::string script = Dump("largas");
  const std::string head = "INSERT INTO largas(v) VALUES";
  ASSERT_EQ(head.size() + 12, 40u);  // the spaces of " (", "'" x2 and ")" make 3,000 per row
  size_t statements = 0, pos = 0;
  while ((pos = script.find("BEGIN;\r\n" + head + "\r\n", pos)) != std::string::npos) ++statements, ++pos;
  EXPECT_EQ(statements, 3u);  // 4 + 4 + 1 rows
  EXPECT_NE(script.find("');\r\nCOMMIT;\r\n"), std::string::npos);
}

TEST_P(Script, options_add_their_lines) {
  struct Case {
    const char* name;
    std::function<void(dump::TMyDump&)> set;
    const char* table;
    std::string expectedBody;  // between prologue and epilogue
  } cases[] = {
      {"add drop on empty table", [](dump::TMyDump& d) { d.Options().SetAddDrop(true); }, "vazia",
       "TRUNCATE TABLE vazia;\r\n\r\n"},
      {"lock and keys", [](dump::TMyDump& d) { d.Options().SetAddLock(true); d.Options().SetDisableKeys(true); }, "sete",
       "LOCK TABLES sete WRITE;\r\n/*!40000 ALTER TABLE sete DISABLE KEYS */;\r\n" /* rows */},
      {"delayed ignore without lock",
       [](dump::TMyDump& d) {
         d.Options().SetAddLock(true);
         d.Options().SetUseDelayedIns(true);
         d.Options().SetInsertType(dump::TMyInsertType::itInsertIgnore);
         d.Options().SetCompleteInsert(false);
       },
       "vazia", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dump::TMyDump d;
    SystemSettings(d);
    d.SetConnection(connection_.get());
    c.set(d);
    d.SetTableNames(platform::Utf8ToUtf16(c.table));
    d.BackupToFile(dir_ + "/o.sql");
    const std::string script = ReadFile(dir_ + "/o.sql");
    EXPECT_EQ(script.substr(0, std::strlen(kPrologue) + c.expectedBody.size()), kPrologue + c.expectedBody);
  }
  dump_.Options().SetAddLock(true);
  dump_.Options().SetDisableKeys(true);
  EXPECT_NE(Dump("sete").find("VALUES (7);\r\n/*!40000 ALTER TABLE sete ENABLE KEYS */;\r\nUNLOCK TABLES;\r\n\r\n"),
            std::string::npos);
  dump_.Options().SetAddLock(true);
  dump_.Options().SetUseDelayedIns(true);
  dump_.Options().SetDisableKeys(false);
  dump_.Options().SetCompleteInsert(false);
  for (const auto& [type, keyword] : std::vector<std::pair<dump::TMyInsertType, std::string>>{
           {dump::TMyInsertType::itInsert, "INSERT DELAYED INTO sete VALUES (1);"},
           {dump::TMyInsertType::itInsertIgnore, "INSERT DELAYED IGNORE INTO sete VALUES (1);"},
           {dump::TMyInsertType::itReplaceInto, "REPLACE DELAYED INTO sete VALUES (1);"}}) {
    dump_.Options().SetInsertType(type);
    const std::string script = Dump("sete");
    EXPECT_NE(script.find(std::string(kPrologue) + keyword), std::string::npos) << script;
    EXPECT_EQ(script.find("LOCK TABLES"), std::string::npos);
  }
}

TEST_P(Script, header_and_table_comment) {
  dump_.Options().SetGenerateHeader(true);
  const std::string script = Dump("vazia");
  EXPECT_EQ(script.rfind("-- Dump component version: 10.4.1\r\n-- MySQL server version: ", 0), 0u) << script;
  EXPECT_NE(script.find("-- Database: " + database_ + "\r\n\r\n" + std::string(kPrologue) +
                        "-- \r\n-- Dumping data for table vazia\r\n-- \r\n\r\n" + kEpilogue),
            std::string::npos)
      << script;
}

TEST_P(Script, generated_columns_left_out_and_invisible_kept) {
  EXPECT_NE(Dump("gerada").find("INSERT INTO gerada(id, oculta) VALUES (1,10);"), std::string::npos);
}

TEST_P(Script, table_names_split_and_read_back) {
  dump_.SetTableNames(u" cidades ; vazia,, `itens pedido` ,;`loja`.`cidades`, `x.y`;");
  EXPECT_EQ(dump_.TableNames(), u"cidades,vazia,`itens pedido`,loja.cidades,`x.y`");
  dump_.SetTableNames(u" ;, ");
  EXPECT_EQ(dump_.TableNames(), u"");
}

TEST_P(Script, several_tables_and_the_whole_database) {
  const std::string two = Dump("vazia;cidades");
  EXPECT_EQ(two.find("INSERT INTO cidades"), std::strlen(kPrologue));
  EXPECT_EQ(progress_.front(), (ProgressCall{"vazia", 0, 2, 0}));
  EXPECT_EQ(progress_.back(), (ProgressCall{"cidades", 1, 2, 100}));
  const std::string all = Dump("");
  for (const char* t : {"cidades(", "`itens pedido`(", "`a``b`(", "`x.y`(", "gerada("})
    EXPECT_NE(all.find(std::string("INSERT INTO ") + t), std::string::npos) << t;
}

TEST_P(Script, options_reach_an_existing_processor) {
  Dump("cidades");
  dump::TPropValue v;
  ASSERT_NE(dump_.Processor(), nullptr);
  dump_.Options().SetCommitBatchSize(5);
  dump_.Processor()->GetProp(dump::prCommitBatchSize, v);
  EXPECT_EQ(std::get<int32_t>(v), 5);
  dump_.Options().SetInsertType(dump::TMyInsertType::itReplaceInto);
  dump_.Processor()->GetProp(dump::prInsertType, v);
  EXPECT_EQ(std::get<uint8_t>(v), 2);
  dump_.SetObjects({TMyDumpObject::doData, TMyDumpObject::doViews});
  dump_.Processor()->GetProp(dump::prBackupViews, v);
  EXPECT_TRUE(std::get<bool>(v));
  try {
    dump_.Processor()->SetProp(999, true);
    ADD_FAILURE();
  } catch (const dump::EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "999");
  }
  EXPECT_THROW(dump_.Processor()->GetProp(37, v), dump::EAssertionFailed);
}

TEST_P(Script, failures_leave_what_was_complete) {
  // No connection: the file is created and stays empty.
  dump::TMyDump lonely;
  try {
    lonely.BackupToFile(dir_ + "/none.sql");
    ADD_FAILURE();
  } catch (const dump::EDAError& e) {
    EXPECT_STREQ(e.what(), "Connection is not defined");
  }
  EXPECT_EQ(ReadFile(dir_ + "/none.sql"), "");

  // A file that cannot be created names its path and the reason.
  try {
    dump_.BackupToFile(dir_ + "/no/such/folder/x.sql");
    ADD_FAILURE();
  } catch (const dump::EDAError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir_ + "/no/such/folder/x.sql\". No such file or directory");
  }

  // A file another writer holds is refused and not cut.
  {
    const std::string held = dir_ + "/held.sql";
    std::ofstream(held) << "kept";
    const int fd = ::open(held.c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    try {
      dump_.BackupToFile(held);
      ADD_FAILURE();
    } catch (const dump::EDAError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + held + "\". The file is being used by another process");
    }
    ::close(fd);
    EXPECT_EQ(ReadFile(held), "kept");
  }

  // A failure in the middle of a table: the complete rows stay, nothing after them.
  dump_.SetTableNames(u"cidades");
  dump_.OnBackupProgress = [](dump::TDADump*, const std::u16string&, int32_t, int32_t, int32_t percent) {
    if (percent == 66) throw std::runtime_error("stop");
  };
  EXPECT_THROW(dump_.BackupToFile(dir_ + "/half.sql"), std::runtime_error);
  EXPECT_EQ(ReadFile(dir_ + "/half.sql"), std::string(kPrologue) +
                                              "INSERT INTO cidades(Codigo, Nome) VALUES (1,'Lages');\r\n"
                                              "INSERT INTO cidades(Codigo, Nome) VALUES (2,'Blumenau');\r\n");
  EXPECT_EQ(connection_->UseCount(), 0);

  // A table that does not exist fails with the server's message; the connection stays usable.
  dump_.OnBackupProgress = nullptr;
  try {
    Dump("nao_existe");
    ADD_FAILURE();
  } catch (const db::MySQLError& e) {
    EXPECT_EQ(e.code(), 1146u) << e.what();
  }
  EXPECT_NE(Dump("cidades").find("Joinville"), std::string::npos);

  // A device that refuses the bytes.
  try {
    dump_.BackupToFile("/dev/full");
    ADD_FAILURE();
  } catch (const dump::EDAError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }

  // Other object kinds are refused before anything is written.
  dump_.SetObjects({TMyDumpObject::doTables, TMyDumpObject::doData});
  EXPECT_THROW(Dump("cidades"), dump::EDAError);
}

TEST_P(Script, backup_into_the_sql_list) {
  dump_.SQL = {u"old"};
  dump_.SetTableNames(u"cidades");
  dump_.Backup();
  ASSERT_EQ(dump_.SQL.size(), 8u);
  EXPECT_EQ(dump_.SQL[2], u"INSERT INTO cidades(Codigo, Nome) VALUES (1,'Lages');");
  EXPECT_EQ(dump_.SQL[5], u"");
}

INSTANTIATE_TEST_SUITE_P(Modes, Script, ::testing::Values(false, true), ModeName);

}  // namespace
