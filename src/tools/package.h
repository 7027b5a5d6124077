// Operations on the package file QAROVOR.DAT: integrity check, stored length, member listing
// into the file listing `_files`, extraction of single members, and the path functions that
// extraction uses. Messages are shown in the kit's message windows; results are logical.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace qaro {

// True when `src` + "QAROVOR.DAT" has the package magic, its stored length and checksum.
bool SPRAWDZ_SUME(std::string_view src);
// Total length stored in the header of a package or of its first diskette piece; 0 on failure.
double WLK_FIRMADAT(std::string_view plik);
// Lists the member table of `src` + "QAROVOR.DAT" into `dst` + "_TMP_VOR.DBF" (alias "_files",
// open exclusively, indexed by member name in "_TMP_VOR.NTX"). The listing stays open.
bool LISTA_PLIKOW(std::string_view src, std::string_view dst);
// Extracts the member named `file` (found by the name index of `_files`) into `dst` + the
// member's directory part + `new_name` (default: `file`), with attributes, date and time.
// A member the package does not hold is skipped (true). A member path that would leave `dst`
// is refused with a message (false).
bool EXTRACT_FILE(std::string_view file, std::string_view src, std::string_view dst, std::string_view new_name = {});

std::string EXTRACT_NAME(std::string_view path);
std::string REL_PATH(std::string_view path);
std::vector<std::string> SPLIT_PATH(std::string_view path);
bool TREECREATE(std::string_view path);

// True when a member path stays inside the extraction directory: no "..", no drive letter or
// colon, no leading backslash or UNC prefix, no forward slash.
bool member_path_is_safe(std::string_view path);

// File offset of the data area of the package listed last (0 before any listing).
std::uint64_t package_data_offset();

}  // namespace qaro
