// File and directory utilities of the maker's library, on the emulated DOS file system.
// Every call leaves its DOS error number for E_FILEERROR() (0 = success).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qaro {

// Without `overwrite` an existing target is replaced (copy mode relies on it).
bool COPYFILE(std::string_view src, std::string_view dst, bool overwrite = true);
// Deletes the files matching a wildcard path; returns how many were deleted.
int E_FILEDELETE(std::string_view mask);
// Appends the whole of src to dst (created when missing); returns the bytes appended, -1 on error.
long long E_FILEAPPEND(std::string_view src, std::string_view dst, bool create = true);
int E_FILEERROR();
// Deletes everything below dir (files and subdirectories); dir itself stays.
bool DELSTRUCT(std::string_view dir);
bool E_REMDIR(std::string_view dir);
int MAKEDIR(std::string_view dir);   // 0 on success, else the DOS error number
bool ISDIR(std::string_view dir);
bool CHANGEDISK(char letter);
bool CHANGEDISK(std::string_view letter);   // first character
bool CHANGEDIR(std::string_view dir);
std::string DISKNAME();                  // current drive letter, "C"
std::string E_DIRNAME(char drive = 0);   // "\FIRMA\PLACE", "\" at the root
// Names of the files matching a wildcard path (no directories, no hidden or system files).
std::vector<std::string> TABFILES(std::string_view mask);
bool E_SETFATTR(std::string_view file, unsigned sum);   // 1 R, 2 H, 4 S, 32 A
bool E_SETFDATI(std::string_view file, std::string_view yyyymmdd, std::string_view hhmmss);

// Variable files.
std::string MEMORXPF();                       // ".xpf"
std::string FMEMORXPF(std::string_view name); // "master.mem" -> "master.xpf", "X.MEM" -> "X.XPF"
// Adds the file's variables to the run's set; false when missing or damaged (messages: also
// a message window naming the file).
bool RESTFROM(std::string_view file, bool messages = false);

}  // namespace qaro
