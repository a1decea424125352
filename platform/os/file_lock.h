// Advisory whole-file locks between processes: two runs that write the same file find each other.
// The lock belongs to the open file and goes away when the descriptor is closed (or the process
// ends, however it ends).
#pragma once

#include <system_error>

namespace os {

// Takes an exclusive lock on the open file fd without waiting. Returns no error when the lock is
// held; std::errc::resource_unavailable_try_again when another open file (in this or another
// process) holds a lock on the same file; another error when the system cannot lock it.
std::error_code TryLockExclusive(int fd);

}  // namespace os
