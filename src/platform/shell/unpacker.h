// The archive unpacker that the package batches call as "winrar" (or winrar.exe, with or
// without a path):
//
//   winrar x|e [switches] ARCHIVE [MASK...] [DESTDIR\]
//
//   x       extract with the member paths      e   extract into DESTDIR without paths
//   -y      assume yes: overwrite existing     -o+ overwrite existing files
//   -o-     skip existing files                -ibck, -inul, -id[cdpq]: quiet (output discarded anyway)
//   -c-, -r, -r-                               accepted, no effect
//
// ARCHIVE may hold wildcards; without an extension and not found, ".rar" is tried. The format
// is found from the content (ZIP, 7z, RAR, tar...), never from the name. DESTDIR (an argument
// ending in a backslash) is created when missing; default is the current directory. Without
// -o+, -o- or -y an existing file is not overwritten and counts as a failure (nobody can answer
// the question in a batch).
//
// Exit codes: 0 all well; 1 files not overwritten; 2 damaged archive, refused member path or
// unsupported member kind; 3 damaged member data or encrypted member; 5 write error;
// 6 archive missing or not an archive; 7 bad command line; 9 a file or directory could not be
// created (read-only file in the way); 10 no member to extract. The first failure decides.
#pragma once

#include <string>
#include <vector>

#include "platform/shell/shell_output.h"

namespace qaro::shell {

// `args` are the arguments after the program name.
int run_unpacker(const std::vector<std::string>& args, ShellOutput& out);

}  // namespace qaro::shell
