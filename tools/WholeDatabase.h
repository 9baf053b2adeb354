#pragma once
// tarvix-dump --all: every table and view of the database, one script each, into a new run
// folder, from one consistent snapshot; a table that fails does not stop the others.
#include "access/MyConnection.h"
#include "dump/MyDump.h"
#include "tools/DumpArgs.h"

namespace tools {

// Returns the exit status: 0 when every table was written, 1 when any failed.
int BackupWholeDatabase(const DumpArgs& args, db::TMyConnection& connection, dump::TMyDump& dump);

}  // namespace tools
