// The program's top level: banner, option check, the export run and the report of a failed run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "driver/export_run.h"

namespace driver {

// Runs the program on its arguments (the program's name excluded) and returns the exit code.
// Console lines go to `out`; the report of a failure and the list of what was not exported go to
// `errors`.
int RunProgram(const std::vector<std::string>& arguments, const std::string& current_directory,
               const ImportFunction& import, std::FILE* out, std::FILE* errors);

}  // namespace driver
