#pragma once

#include <string>
#include <string_view>

#include "runfiles/ScriptFileName.h"

namespace runfiles {

// One table's script in the run folder, so that a file ending in ".sql" is always whole: the
// writer writes TemporaryPath() (the final path + ".tmp"), and only Commit() gives it the final
// name. A temporary file left by a crashed run is simply overwritten by the writer.
// No table's final name can clash with another's temporary or incomplete name: they differ in
// their last extension.
// Paths are UTF-8.
class ScriptFile {
public:
    // runFolder may end with a delimiter or not.
    ScriptFile(std::string runFolder, std::string_view tableNameUtf8);

    const TableFileName& Name() const { return name_; }
    const std::string& TemporaryPath() const { return temporaryPath_; }
    const std::string& FinalPath() const { return finalPath_; }

    // Renames the temporary file to the final name, replacing a file of that name (a run
    // started in the same second). Throws std::runtime_error naming both paths and the reason.
    void Commit();

    // Renames the temporary file, if there is one, to the final path + ".incompleto", replacing
    // an older one, and returns that path; returns "" when there was no temporary file.
    // Throws std::runtime_error naming both paths and the reason.
    std::string MarkIncomplete();

private:
    TableFileName name_;
    std::string finalPath_;
    std::string temporaryPath_;
};

} // namespace runfiles
