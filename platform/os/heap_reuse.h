// How the process's heap keeps memory it was given back.
//
// Each message allocates and frees the same sizes again and again, on several threads. Handing
// freed memory back to the system after every large free, and mapping every allocation of a few
// hundred KiB on its own, costs a system call, page faults to fill the pages again and, with
// several threads, a flush of every processor's address cache. KeepFreedMemory lets the heap keep
// up to a bound of freed memory for reuse and serve allocations below a bound from the heap; the
// peak resident size follows the largest live message as before.
#pragma once

namespace os {

// Call once, early, before other threads start. Where the system's heap needs no such setting it
// does nothing.
void KeepFreedMemory();

}  // namespace os
