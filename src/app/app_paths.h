#pragma once

// The folders the program works in are chosen in the core, so the command line finds the
// same data folder as the window.
#include "files/app_paths.h"
