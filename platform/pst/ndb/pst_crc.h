// The file format's CRC (ComputeCrc) and page/block signature (ComputeSig), for the node database
// and the writer of test files. The routines live in util/ so that compressed RTF shares them.
#pragma once

#include "platform/pst/util/format_crc.h"
