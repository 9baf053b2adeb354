// tarvix-dump as a user runs it: a subprocess, its exit status, its output and its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/LiveServer.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string output;  // standard output and error
};

Result RunTool(const std::string& args) {
  const std::string cmd = std::string(TARVIX_DUMP_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  const int rc = pclose(p);
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

class DumpTool : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = testing_support::PerTestDatabase("tool");
    testing_support::RecreateDatabase(database_);
    for (const std::string& sql : {
             std::string("CREATE TABLE cidades (Codigo INT, Nome VARCHAR(40))"),
             std::string("INSERT INTO cidades VALUES (1,'Lages'),(2,'Blumenau')"),
             std::string("CREATE TABLE segredo (id INT, senha VARCHAR(10))"),
             std::string("INSERT INTO segredo VALUES (1,'x')"),
             std::string("CREATE VIEW cidades_v AS SELECT Nome FROM cidades"),
         })
      testing_support::Exec(sql, database_);
    char tmpl[] = "/tmp/tarvix-tooltest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    fs::remove_all(dir_);
    testing_support::Exec("DROP DATABASE IF EXISTS `" + database_ + "`");
  }
  std::string Server() const {
    return "--host " + testing_support::TestHost() + " --port " + std::to_string(testing_support::TestPort());
  }
  std::string database_, dir_;
};

TEST_F(DumpTool, all_tables_with_a_view_and_a_table_that_fails) {
  // A user who may read only one column of segredo sees it in the catalogue but cannot dump it.
  const std::string user = database_.substr(0, 20) + "_u";
  testing_support::Exec("DROP USER IF EXISTS '" + user + "'@'%'");
  testing_support::Exec("CREATE USER '" + user + "'@'%' IDENTIFIED BY 'pw'");
  testing_support::Exec("GRANT SELECT ON `" + database_ + "`.cidades TO '" + user + "'@'%'");
  testing_support::Exec("GRANT SELECT ON `" + database_ + "`.cidades_v TO '" + user + "'@'%'");
  testing_support::Exec("GRANT SELECT (id) ON `" + database_ + "`.segredo TO '" + user + "'@'%'");
  const Result r = RunTool(Server() + " --user " + user + " --password pw --database " + database_ +
                       " --all --output-dir " + dir_);
  testing_support::Exec("DROP USER '" + user + "'@'%'");
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("table segredo: "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("tables: 3, rows: 2,"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("failures: 1"), std::string::npos) << r.output;
  std::vector<std::string> files;
  for (const auto& folder : fs::directory_iterator(dir_))
    for (const auto& f : fs::directory_iterator(folder)) files.push_back(f.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"cidades.sql", "cidades_v.sql", "segredo.sql.incompleto"}));
}

TEST_F(DumpTool, ini_gives_server_port_database_and_mode) {
  const std::string ini = dir_ + "/Admin.ini";
  std::ofstream(ini) << "[local]\r\nServidor=" << testing_support::TestHost() << "\r\nPORTA=" << testing_support::TestPort()
                     << "\r\nBANCO=" << database_ << "\r\nDIRECT=S\r\n";
  const Result r = RunTool("--ini " + ini + " --tables cidades --output " + dir_ + "/c.sql");
  EXPECT_EQ(r.status, 0) << r.output;
  std::ifstream f(dir_ + "/c.sql");
  std::stringstream s;
  s << f.rdbuf();
  EXPECT_NE(s.str().find("INSERT INTO cidades(Codigo, Nome) VALUES (2,'Blumenau');\r\n"), std::string::npos);

  const Result missing = RunTool("--ini " + dir_ + "/nada.ini --tables cidades --output " + dir_ + "/d.sql");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("does not exist"), std::string::npos) << missing.output;
}

TEST_F(DumpTool, usage_and_bad_arguments) {
  const Result help = RunTool("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* flag : {"--all", "--ini", "--hex-blob", "--commit-batch-size", "--direct", "--progress"})
    EXPECT_NE(help.output.find(flag), std::string::npos) << flag;
  for (const char* args : {"--tables t", "--output x", "--port abc --tables t --output x", "--bogus",
                           "--insert-type upsert --tables t --output x", "--all --output-dir"}) {
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, 2) << args << ": " << r.output;
    EXPECT_EQ(r.output.rfind("tarvix-dump: ", 0), 0u) << r.output;
  }
  const Result unreachable = RunTool("--host 127.0.0.1 --port 1 --database x --tables t --output " + dir_ + "/u.sql");
  EXPECT_EQ(unreachable.status, 1);
  EXPECT_NE(unreachable.output.find("tarvix-dump: "), std::string::npos);
}

}  // namespace
