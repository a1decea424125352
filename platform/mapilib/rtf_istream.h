// The stream WrapCompressedRTFStream hands out: the RTF of a compressed-RTF stream, decompressed as
// it is read (the LZ77 form with its dictionary preload, and the uncompressed form). A CRC that
// does not match is traced and the data used; data that ends before its recorded size fails.
#pragma once

#include "libs/mapi/mapi.h"

namespace mapilib {

// Takes a reference to `compressed` for the life of the new stream. A stream this library opened
// over a value its message has decompressed already, still unread, is served from that copy.
IStream* NewRtfStream(IStream* compressed);

}  // namespace mapilib
