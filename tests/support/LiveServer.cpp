#include "tests/support/LiveServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <cctype>
#include <stdexcept>

namespace testing_support {
namespace {
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v)
    throw std::runtime_error(std::string(name) +
                             " is not set: run the tests through scripts/test, which starts the test server");
  return v;
}
}  // namespace

std::string TestHost() { return Env("TARVIX_TEST_HOST"); }
unsigned TestPort() { return static_cast<unsigned>(std::stoul(Env("TARVIX_TEST_PORT"))); }

std::unique_ptr<db::TMyConnection> MakeConnection(bool direct, const std::string& database) {
  auto c = std::make_unique<db::TMyConnection>();
  c->Server = TestHost();
  c->Port = TestPort();
  c->Username = "root";
  c->Password = kRootPassword;
  c->Database = database;
  c->ConnectionTimeout = 10;
  c->Options.Direct = direct;
  return c;
}

void Exec(const std::string& sql, const std::string& database) {
  auto c = MakeConnection(false, database);
  c->Open();
  c->ExecSQL(sql);
}

void RecreateDatabase(const std::string& name) {
  auto c = MakeConnection(false);
  c->Open();
  c->ExecSQL("DROP DATABASE IF EXISTS `" + name + "`");
  c->ExecSQL("CREATE DATABASE `" + name + "` CHARACTER SET utf8mb4");
}

std::string PerTestDatabase(const std::string& prefix) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string full = std::string(info->test_suite_name()) + "." + info->name();
  std::string name = prefix + "_";
  for (char c : full) name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
  if (name.size() > 48) name = name.substr(0, 40) + "_" + std::to_string(std::hash<std::string>{}(full) % 10000000);
  return name;
}

}  // namespace testing_support
