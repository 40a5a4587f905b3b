#pragma once

#include "files/app_paths.h"

namespace kenvo::cli {

// The folders the window would use, chosen the same way: KENVOPLAT_HOME when set, else the
// folder of this program when it is writable, else the user's configuration and documents
// folders (as the desktop names them in user-dirs.dirs).
AppPaths commandLinePaths();

}  // namespace kenvo::cli
