// The access layer against the real test server, over both connection modes.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "access/MyQuery.h"
#include "access/MyTable.h"
#include "access/MySQLError.h"
#include "tests/support/LiveServer.h"

using namespace db;
using testing_support::Exec;
using testing_support::MakeConnection;

namespace {

class AccessLive : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    database_ = testing_support::PerTestDatabase("access");
    testing_support::RecreateDatabase(database_);
    Exec(
        "CREATE TABLE kinds ("
        " c_tiny TINYINT, c_small SMALLINT UNSIGNED, c_medium MEDIUMINT, c_int INT, c_big BIGINT UNSIGNED,"
        " c_float FLOAT, c_double DOUBLE, c_decimal DECIMAL(10,2), c_year YEAR,"
        " c_date DATE, c_time TIME(3), c_datetime DATETIME, c_timestamp TIMESTAMP NULL, c_bit BIT(9),"
        " c_char CHAR(10), c_varchar VARCHAR(60), c_longvarchar VARCHAR(300), c_enum ENUM('a','b'),"
        " c_set SET('x','y'), c_binary BINARY(4), c_varbinary VARBINARY(8), c_varchar_bin VARCHAR(10) COLLATE utf8mb4_bin,"
        " c_tinyblob TINYBLOB, c_blob BLOB, c_longblob LONGBLOB, c_text TEXT, c_longtext LONGTEXT,"
        " c_json JSON, c_geometry GEOMETRY, c_latin VARCHAR(20) CHARACTER SET latin1)",
        database_);
    Exec("CREATE TABLE vals (id INT PRIMARY KEY, v LONGBLOB, t VARCHAR(100))", database_);
    Exec("CREATE VIEW vals_view AS SELECT id FROM vals", database_);
    Exec("CREATE TABLE work (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50))", database_);
  }
  void TearDown() override { Exec("DROP DATABASE IF EXISTS `" + database_ + "`"); }

  std::string database_;

  std::unique_ptr<TMyConnection> Open() {
    auto c = MakeConnection(GetParam(), database_);
    c->Open();
    return c;
  }
};

unsigned ClosedPort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

TEST_P(AccessLive, connect_errors_carry_the_server_message_and_code) {
  struct Case {
    const char* name;
    std::string password;
    std::string database;
    bool closedPort;
    unsigned code;
    const char* text;
  } cases[] = {
      {"wrong password", "nope", "", false, 1045, "Access denied"},
      {"unknown database", testing_support::kRootPassword, "no_such_db", false, 1049, "no_such_db"},
      {"nothing listening", testing_support::kRootPassword, "", true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto con = MakeConnection(GetParam(), c.database);
    con->Password = c.password;
    if (c.closedPort) con->Port = ClosedPort();
    try {
      con->Open();
      ADD_FAILURE() << "opened";
    } catch (const MySQLError& e) {
      if (c.code) EXPECT_EQ(e.code(), c.code);
      else EXPECT_TRUE(e.code() == CR_CONN_HOST_ERROR || e.code() == CR_CONNECTION_ERROR) << e.code();
      EXPECT_NE(std::string(e.what()).find(c.text), std::string::npos) << e.what();
    }
    EXPECT_FALSE(con->Connected());
  }
}

TEST_P(AccessLive, a_server_that_never_answers_fails_within_the_connect_timeout) {
  // Listening but never accepting: the TCP connect completes, the greeting never comes.
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(listen(s, 4), 0);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  auto con = MakeConnection(GetParam(), "");
  con->Port = ntohs(a.sin_port);
  con->ConnectionTimeout = 1;
  try {
    con->Open();
    ADD_FAILURE() << "opened";
  } catch (const MySQLError& e) {
    EXPECT_EQ(e.code(), CR_SERVER_LOST) << e.what();
  }
  close(s);
}

TEST_P(AccessLive, good_connect_reports_server_and_database) {
  auto c = Open();
  EXPECT_TRUE(c->Connected());
  EXPECT_EQ(c->ServerVersion().rfind("5.5.5-", 0), std::string::npos);
  EXPECT_GE(c->ServerMajorVersion(), 10);
  EXPECT_EQ(c->CurrentDatabase(), database_);
  EXPECT_EQ(c->GetIConnection().FUsedCharset, "utf8mb4");
}

TEST_P(AccessLive, use_count_never_below_zero_and_release_keeps_open) {
  auto c = MakeConnection(GetParam(), database_);
  c->ConnectCounted();
  c->ConnectCounted();
  EXPECT_EQ(c->UseCount(), 2);
  EXPECT_TRUE(c->Connected());
  c->ReleaseCounted();
  c->ReleaseCounted();
  c->ReleaseCounted();
  EXPECT_EQ(c->UseCount(), 0);
  EXPECT_TRUE(c->Connected());
}

TEST_P(AccessLive, descriptor_of_every_column_type) {
  auto c = Open();
  TMyQuery q(c.get());
  q.SetSQL("SELECT * FROM kinds");
  q.UniDirectional = true;
  q.Open();
  struct Expect {
    const char* column;
    uint8_t type;
    TFieldKind kind;
    bool binaryFlag;
  } cases[] = {
      {"c_tiny", MT_TINY, TFieldKind::Text, false},
      {"c_small", MT_SHORT, TFieldKind::Text, false},
      {"c_medium", MT_INT24, TFieldKind::Text, false},
      {"c_int", MT_LONG, TFieldKind::Text, false},
      {"c_big", MT_LONGLONG, TFieldKind::Text, false},
      {"c_float", MT_FLOAT, TFieldKind::Text, false},
      {"c_double", MT_DOUBLE, TFieldKind::Text, false},
      {"c_decimal", MT_NEWDECIMAL, TFieldKind::Text, false},
      {"c_year", MT_YEAR, TFieldKind::Text, false},
      {"c_date", MT_DATE, TFieldKind::Text, true},
      {"c_time", MT_TIME, TFieldKind::Text, true},
      {"c_datetime", MT_DATETIME, TFieldKind::Text, true},
      {"c_timestamp", MT_TIMESTAMP, TFieldKind::Text, true},
      {"c_bit", MT_BIT, TFieldKind::Text, false},
      {"c_char", MT_STRING, TFieldKind::Text, false},
      {"c_varchar", MT_VAR_STRING, TFieldKind::Text, false},
      {"c_longvarchar", MT_VAR_STRING, TFieldKind::Memo, false},
      {"c_enum", MT_STRING, TFieldKind::Text, false},
      {"c_set", MT_STRING, TFieldKind::Text, false},
      {"c_binary", MT_STRING, TFieldKind::Bytes, true},
      {"c_varbinary", MT_VAR_STRING, TFieldKind::Bytes, true},
      {"c_varchar_bin", MT_VAR_STRING, TFieldKind::Text, true},
      {"c_tinyblob", MT_BLOB, TFieldKind::Blob, true},
      {"c_blob", MT_BLOB, TFieldKind::Blob, true},
      {"c_longblob", MT_BLOB, TFieldKind::Blob, true},
      {"c_text", MT_BLOB, TFieldKind::Memo, false},
      {"c_longtext", MT_BLOB, TFieldKind::Memo, false},
      {"c_json", MT_BLOB, TFieldKind::Memo, true},  // utf8mb4_bin: the flag, not the charset
      {"c_geometry", MT_GEOMETRY, TFieldKind::Blob, true},
      {"c_latin", MT_VAR_STRING, TFieldKind::Text, false},
  };
  for (const Expect& e : cases) {
    SCOPED_TRACE(e.column);
    const TMySQLFieldDesc& d = q.FieldByName(e.column).Desc();
    EXPECT_EQ(d.FMySQLType, e.type);
    EXPECT_EQ(static_cast<int>(d.FDataType), static_cast<int>(e.kind));
    EXPECT_EQ(d.FIsBinary, e.binaryFlag);
    EXPECT_EQ(d.TableName, "kinds");
  }
  EXPECT_EQ(q.FieldByName("c_varchar").Desc().FLength, 240u);  // bytes of utf8mb4
  EXPECT_EQ(q.FieldByName("c_binary").Desc().FCharsetNr, 63);
  EXPECT_EQ(q.GetKeyAndDataFields().DataFieldDescs.size(), std::size(cases));
}

TEST_P(AccessLive, unicode_and_fields_as_string_change_the_kinds) {
  auto c = MakeConnection(GetParam(), database_);
  c->Options.UseUnicode = true;
  c->Open();
  TMyQuery q(c.get());
  q.SetSQL("SELECT c_varchar, c_longvarchar, c_text, c_varbinary, c_blob FROM kinds");
  q.Open();
  EXPECT_EQ(q.Fields(0).Desc().FDataType, TFieldKind::WideText);
  EXPECT_EQ(q.Fields(0).Desc().FLength, 60u);
  EXPECT_EQ(q.Fields(1).Desc().FDataType, TFieldKind::WideMemo);
  EXPECT_EQ(q.Fields(2).Desc().FDataType, TFieldKind::WideMemo);
  EXPECT_EQ(q.Fields(3).Desc().FDataType, TFieldKind::Bytes);
  EXPECT_EQ(q.Fields(4).Desc().FDataType, TFieldKind::Blob);
  q.Close();
  q.FieldsAsString = true;
  q.Open();
  EXPECT_EQ(q.Fields(0).Desc().FDataType, TFieldKind::Text);
  EXPECT_EQ(q.Fields(3).Desc().FDataType, TFieldKind::Text);
  EXPECT_EQ(q.Fields(2).Desc().FDataType, TFieldKind::WideMemo);
}

TEST_P(AccessLive, values_arrive_whole_with_their_exact_bytes) {
  auto c = Open();
  const std::string escapable("\x00\n\r\x1a\"'\\", 7);
  const std::string withNul("a\0b\0", 4);
  const std::string big1(1 << 20, 'x');
  std::string big20(20u << 20, '\0');
  for (size_t i = 0; i < big20.size(); ++i) big20[i] = static_cast<char>(i * 7 + (i >> 16));
  Exec("DELETE FROM vals", database_);
  // Values go in as hex literals so that the test does not depend on our own escaping.
  auto hex = [](const std::string& s) {
    static const char* d = "0123456789ABCDEF";
    std::string h = "0x";
    for (unsigned char ch : s) { h += d[ch >> 4]; h += d[ch & 15]; }
    return s.empty() ? std::string("''") : h;
  };
  Exec("INSERT INTO vals VALUES (1, NULL, NULL), (2, '', ''), (3, " + hex(withNul) + ", 'ação ünï €'),"
       "(4, " + hex(escapable) + ", " + hex(escapable) + "), (5, " + hex(big1) + ", NULL)", database_);
  Exec("INSERT INTO vals VALUES (6, " + hex(big20) + ", NULL)", database_);

  for (bool streaming : {true, false}) {
    SCOPED_TRACE(streaming ? "streaming" : "buffered");
    TMyQuery q(c.get());
    q.UniDirectional = streaming;
    q.SetSQL("SELECT id, v, t FROM vals ORDER BY id");
    q.Open();
    struct Row { bool vNull; std::string v; bool tNull; std::string t; };
    const Row rows[] = {{true, "", true, ""}, {false, "", false, ""}, {false, withNul, false, "ação ünï €"},
                        {false, escapable, false, escapable}, {false, big1, true, ""}, {false, big20, true, ""}};
    for (const Row& r : rows) {
      ASSERT_FALSE(q.Eof());
      EXPECT_EQ(q.Fields(1).IsNull(), r.vNull);
      EXPECT_TRUE(q.Fields(1).AsBytes() == r.v) << "row " << q.RecNo();
      EXPECT_EQ(q.Fields(2).IsNull(), r.tNull);
      EXPECT_EQ(q.Fields(2).AsBytes(), r.t);
      q.Next();
    }
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.RecordCount(), streaming ? 0 : 6);
  }
}

TEST_P(AccessLive, streaming_result_blocks_other_statements_until_closed) {
  auto c = Open();
  TMyQuery rows(c.get()), other(c.get());
  rows.UniDirectional = true;
  rows.SetSQL("SELECT 1 UNION ALL SELECT 2");
  rows.Open();
  other.SetSQL("SELECT 1");
  try {
    other.Open();
    ADD_FAILURE() << "opened";
  } catch (const MySQLError& e) {
    EXPECT_EQ(e.code(), CR_COMMANDS_OUT_OF_SYNC);
  }
  rows.Close();
  other.Open();
  EXPECT_EQ(other.Fields(0).AsInteger(), 1);
}

TEST_P(AccessLive, parameter_is_bound_as_a_literal) {
  auto c = Open();
  TMyQuery q(c.get());
  q.SetSQL("SELECT :p AS v, ':q' AS w");
  for (const std::string& v : {std::string("x' OR '1'='1"), std::string("back\\slash"), std::string("a\0b", 3)}) {
    q.Close();
    q.ParamByName("P").SetAsString(v);
    q.Open();
    EXPECT_EQ(q.Fields(0).AsBytes(), v);
    EXPECT_EQ(q.Fields(1).AsBytes(), ":q");
  }
  EXPECT_THROW(q.ParamByName("q"), MySQLError);
}

TEST_P(AccessLive, check_backslashes_reads_the_sql_mode) {
  auto c = MakeConnection(GetParam(), database_);
  c->Open();
  EXPECT_TRUE(c->GetIConnection().FNeedBackslashes);
  c->ExecSQL("SET SESSION sql_mode = 'no_backslash_escapes,ansi_quotes'");
  EXPECT_TRUE(c->GetIConnection().FNeedBackslashes) << "unchecked: stays true";
  c->SetCheckBackslashes(true);
  EXPECT_FALSE(c->GetIConnection().FNeedBackslashes);
  c->ExecSQL("SET SESSION sql_mode = ''");
  c->SetCheckBackslashes(true);
  EXPECT_TRUE(c->GetIConnection().FNeedBackslashes);
  // A parameter is still bound right while backslashes are not escapes.
  c->ExecSQL("SET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES'");
  TMyQuery q(c.get());
  q.SetSQL("SELECT :p");
  q.ParamByName("p").SetAsString("a\\'b");
  q.Open();
  EXPECT_EQ(q.Fields(0).AsBytes(), "a\\'b");
}

TEST_P(AccessLive, table_and_view_names_and_locate) {
  auto c = Open();
  const std::vector<std::string> names = c->GetTableNames();
  for (const char* n : {"kinds", "vals", "vals_view", "work"})
    EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;
  TMyQuery status(c.get());
  status.SetSQL("SHOW TABLE STATUS FROM `" + database_ + "`");
  status.Open();
  ASSERT_TRUE(status.Locate("Name", "VALS_VIEW"));
  EXPECT_TRUE(status.FieldByName("Engine").IsNull());
  ASSERT_TRUE(status.Locate("name", "Vals"));
  EXPECT_EQ(status.FieldByName("Engine").AsString(), "InnoDB");
  EXPECT_FALSE(status.Locate("Name", "missing"));
}

TEST_P(AccessLive, table_open_append_post_and_truncate) {
  auto c = Open();
  TMyTable t(c.get());
  t.SetTableName("work");
  t.AddPersistentField({"id", 0});
  t.AddPersistentField({"descricao", 50});
  t.EmptyTable();
  t.Open();
  EXPECT_TRUE(t.Eof());
  t.Append();
  t.SetFieldValue("descricao", "itens pedido");
  t.Post();
  t.Append();
  t.SetFieldValue("descricao", std::string(60, 'a') );
  t.Post();
  t.Append();
  t.SetFieldValue("descricao", "o'brien\\");
  t.Post();
  t.Close();
  t.Open();
  ASSERT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.FieldByName("descricao").AsString(), "itens pedido");
  t.Next();
  EXPECT_EQ(t.FieldByName("descricao").AsString(), std::string(50, 'a'));
  t.Next();
  EXPECT_EQ(t.FieldByName("descricao").AsString(), "o'brien\\");
  t.EmptyTable();
  t.Open();
  EXPECT_EQ(t.RecordCount(), 0);

  TMyTable missing(c.get());
  missing.SetTableName("work");
  missing.AddPersistentField({"Nome", 50});
  try {
    missing.Open();
    ADD_FAILURE();
  } catch (const MySQLError& e) {
    EXPECT_NE(std::string(e.what()).find("Field 'Nome' not found"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(missing.Active());
}

TEST_P(AccessLive, closing_the_connection_closes_its_datasets) {
  auto c = Open();
  TMyQuery q(c.get());
  q.UniDirectional = true;
  q.SetSQL("SELECT * FROM vals");
  q.Open();
  c->Close();
  EXPECT_FALSE(q.Active());
  c.reset();
  EXPECT_EQ(q.Connection(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, AccessLive, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "direct" : "library"; });

}  // namespace
