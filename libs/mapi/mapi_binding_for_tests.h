// Test-only control of the mail-library binding. Production code never includes this header.
#pragma once

namespace mapi {

// Forgets the binding: the next wrapper call reads the registry and loads a library again. A
// library loaded before stays mapped (the binding never unloads one).
void ResetMapiBindingForTests();

}  // namespace mapi
