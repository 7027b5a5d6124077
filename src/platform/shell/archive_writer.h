// Writes ZIP archives (the suite's module archives are built this way by the maker's tools).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace qaro::shell {

struct ArchiveInput {
    std::string path;    // member path, DOS separators ("EXE\MAST.EXE"); stored with '/'
    std::string bytes;
    FileTime time;       // empty date: today's file time of the archive writer
    bool read_only = false;
};

// Writes `members` as a ZIP archive to the DOS path `path` (temporary file, then rename).
bool write_zip(std::string_view path, const std::vector<ArchiveInput>& members, std::string* error);

}  // namespace qaro::shell
