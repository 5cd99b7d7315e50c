// The built module and its compiled resources: in the build tree, beside the test program.
#pragma once

#include <string>

#include "substitute/windows_platform.h"

inline std::string BuiltFile(const char* name) {
    return (substitute::ProgramFile().parent_path() / name).string();
}
