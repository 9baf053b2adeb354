#pragma once
// The private test server that scripts/test starts once per run; its address comes from
// TARVIX_TEST_HOST and TARVIX_TEST_PORT. A suite without them fails: it never falls back to
// another server.
#include <memory>
#include <string>

#include "access/MyConnection.h"

namespace testing_support {

constexpr const char* kRootPassword = "vbr7463";

std::string TestHost();  // throws when unset
unsigned TestPort();     // throws when unset

// A new connection to the test server as root, not yet open.
std::unique_ptr<db::TMyConnection> MakeConnection(bool direct, const std::string& database = "");

// Runs statements as root over the client library (set-up and inspection of test data).
void Exec(const std::string& sql, const std::string& database = "");

// Drops and creates a database of the suite's own.
void RecreateDatabase(const std::string& name);

// A database name of the running test's own: ctest runs every test case in a process of its
// own, in parallel, so cases must not share a database.
std::string PerTestDatabase(const std::string& prefix);

}  // namespace testing_support
