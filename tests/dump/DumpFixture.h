#pragma once
// Dumps through files on disk, the way a user sees the result: a database of the suite's own,
// a dump component with the backup window's settings, and the bytes of the written file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dump/MyDump.h"
#include "run/BackupRun.h"
#include "platform/TextEncoding.h"
#include "tests/support/LiveServer.h"

namespace dumptest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The settings of the backup window's dump component.
inline void SystemSettings(dump::TMyDump& d) { run::UseBackupSettings(d); }

struct ProgressCall {
  std::string name;
  int num, count, percent;
  bool operator==(const ProgressCall&) const = default;
};

inline const char* kPrologue =
    "/*!40014 SET @OLD_FOREIGN_KEY_CHECKS=@@FOREIGN_KEY_CHECKS, FOREIGN_KEY_CHECKS=0 */;\r\n"
    "/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE, SQL_MODE='NO_AUTO_VALUE_ON_ZERO' */;\r\n";
inline const char* kEpilogue =
    "/*!40014 SET FOREIGN_KEY_CHECKS=@OLD_FOREIGN_KEY_CHECKS */;\r\n"
    "/*!40101 SET SQL_MODE=@OLD_SQL_MODE */;\r\n";

// A fixture over one database; the parameter chooses the connection mode.
class DumpTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tarvix-dumptest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    database_ = testing_support::PerTestDatabase(DatabasePrefix());
    testing_support::RecreateDatabase(database_);
    CreateTables();
    connection_ = testing_support::MakeConnection(GetParam(), database_);
    connection_->Open();
    SystemSettings(dump_);
    dump_.SetConnection(connection_.get());
    dump_.OnBackupProgress = [this](dump::TDADump*, const std::u16string& name, int32_t num, int32_t count, int32_t p) {
      progress_.push_back({platform::Utf16ToUtf8(name), num, count, p});
    };
  }
  void TearDown() override {
    std::system(("rm -rf '" + dir_ + "'").c_str());
    testing_support::Exec("DROP DATABASE IF EXISTS `" + database_ + "`");
  }

  virtual std::string DatabasePrefix() const = 0;
  // Creates the test's tables in database_ (runs before the connection opens).
  virtual void CreateTables() {}
  void Setup(const std::string& sql) { testing_support::Exec(sql, database_); }

  // Dumps the tables named (TableNames text, UTF-8) into a file and returns its bytes.
  std::string Dump(const std::string& tables) {
    dump_.SetTableNames(platform::Utf8ToUtf16(tables));
    return DumpToFile();
  }
  std::string DumpToFile() {
    progress_.clear();
    const std::string path = dir_ + "/out.sql";
    dump_.BackupToFile(path);
    return ReadFile(path);
  }
  void Exec(const std::string& sql) { connection_->ExecSQL(sql); }

  std::string dir_;
  std::string database_;
  std::unique_ptr<db::TMyConnection> connection_;
  dump::TMyDump dump_;
  std::vector<ProgressCall> progress_;
};

inline std::string ModeName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "direct" : "library"; }

}  // namespace dumptest
