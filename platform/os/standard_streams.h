// The three standard descriptors of the process. A program started with one of them closed would
// hand that number to the first file it opens, and console lines or the trace would then land in
// that file; opening /dev/null in the gaps first keeps every later file off 0, 1 and 2.
#pragma once

namespace os {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed. Call it before anything
// else opens a file. Returns false when a closed one could not be filled (the caller should then
// not go on writing files).
bool EnsureStandardDescriptors();

}  // namespace os
