// Readable descriptions of the import session's result codes, for the report of a failed run.
#pragma once

#include <string>

#include "libs/import_session/import_pst.h"

namespace driver {

// "<description> (0x8004010F)"; codes without a description give "error 0x........".
std::string DescribeImportResult(import_session::ImportResult result);

}  // namespace driver
