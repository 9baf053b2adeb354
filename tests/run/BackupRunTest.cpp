// The run's file handling through files on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "access/MyQuery.h"
#include "dump/MyDump.h"
#include "run/BackupRun.h"
#include "tests/support/LiveServer.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BackupRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = testing_support::PerTestDatabase("run");
    testing_support::RecreateDatabase(database_);
    for (const char* sql : {"CREATE TABLE cidades (Codigo INT, Nome VARCHAR(40))",
                            "INSERT INTO cidades VALUES (1,'Lages')", "CREATE TABLE `a/b` (x INT)",
                            "INSERT INTO `a/b` VALUES (7)", "CREATE TABLE grande (id INT, v VARCHAR(200))",
                            "INSERT INTO grande SELECT seq, REPEAT('x', 200) FROM seq_1_to_200000"})
      testing_support::Exec(sql, database_);
    char tmpl[] = "/tmp/tarvix-runtest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    connection_ = testing_support::MakeConnection(false, database_);
    connection_->Open();
    run::UseBackupSettings(dump_);
    dump_.SetConnection(connection_.get());
  }
  void TearDown() override {
    fs::remove_all(dir_);
    testing_support::Exec("DROP DATABASE IF EXISTS `" + database_ + "`");
  }

  std::string database_, dir_;
  std::unique_ptr<db::TMyConnection> connection_;
  dump::TMyDump dump_;
  const runfiles::Clock clock_ = [] { return std::time_t{1703980799}; };  // 2023-12-30 23:59:59 UTC
};

TEST_F(BackupRunTest, run_folder_names_files_and_same_second_runs) {
  setenv("TZ", "UTC", 1);
  tzset();
  for (int runNo = 0; runNo < 2; ++runNo) {
    run::BackupRun backup(dump_, dir_ + "/destino", clock_);
    EXPECT_EQ(backup.Folder(), dir_ + "/destino/20231230235959/");
    backup.BeginSnapshot();
    const run::TableOutcome plain = backup.BackupTable(u"cidades");
    const run::TableOutcome escaped = backup.BackupTable(u"a/b");
    backup.EndSnapshot();
    EXPECT_TRUE(plain.ok) << plain.error;
    EXPECT_FALSE(plain.escapedName);
    EXPECT_EQ(plain.path, backup.Folder() + "cidades.sql");
    EXPECT_TRUE(escaped.ok) << escaped.error;
    EXPECT_TRUE(escaped.escapedName);
    EXPECT_EQ(escaped.path, backup.Folder() + "a@002fb.sql");
    EXPECT_NE(ReadFile(escaped.path).find("INSERT INTO `a/b`(x) VALUES (7);"), std::string::npos);
    // The second run in the same second replaces the first run's files; nothing temporary stays.
    EXPECT_EQ(FilesIn(backup.Folder()), (std::vector<std::string>{"a@002fb.sql", "cidades.sql"}));
  }
  EXPECT_EQ(connection_->UseCount(), 0);
}

TEST_F(BackupRunTest, a_table_cut_off_mid_way_is_kept_as_incompleto) {
  db::TMyQuery id(connection_.get());
  id.SetSQL("SELECT CONNECTION_ID()");
  id.Open();
  const std::string connectionId = id.Fields(0).AsString();
  id.Close();
  bool killed = false;
  dump_.OnBackupProgress = [&](dump::TDADump*, const std::u16string&, int32_t, int32_t, int32_t percent) {
    if (percent == 1 && !killed) {
      killed = true;
      testing_support::Exec("KILL " + connectionId);
    }
  };
  run::BackupRun backup(dump_, dir_, clock_);
  const run::TableOutcome cut = backup.BackupTable(u"grande");
  EXPECT_TRUE(killed);
  EXPECT_FALSE(cut.ok);
  EXPECT_FALSE(cut.error.empty());
  EXPECT_EQ(cut.path, backup.Folder() + "grande.sql.incompleto");
  EXPECT_EQ(FilesIn(backup.Folder()), std::vector<std::string>{"grande.sql.incompleto"});
  // What is there ends with a whole row line.
  const std::string partial = ReadFile(cut.path);
  EXPECT_GT(partial.size(), 1000u);
  EXPECT_EQ(partial.substr(partial.size() - 5), "');\r\n");
}

TEST_F(BackupRunTest, a_folder_that_cannot_be_created_is_an_error) {
  std::ofstream(dir_ + "/file") << "x";
  EXPECT_THROW(run::BackupRun(dump_, dir_ + "/file/sub", clock_), std::runtime_error);
}

}  // namespace
