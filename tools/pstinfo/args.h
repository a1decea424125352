// The inspector's command line:
//   pstinfo FILE [NODE]      header facts and folder tree, or one object's properties
//   pstinfo --tree FILE      tab-separated folder lines
//   pstinfo --messages FILE  tab-separated message lines
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/pst/ndb/node.h"

namespace pstinfo {

enum class Mode { kReport, kTree, kMessages };

struct Options {
  Mode mode = Mode::kReport;
  std::string file;
  std::optional<pst::ndb::NodeId> node;  // kReport only
};

inline constexpr const char* kUsage =
    "usage: pstinfo FILE [NODE]\n"
    "       pstinfo --tree FILE\n"
    "       pstinfo --messages FILE\n"
    "NODE is a node id in hexadecimal (0x200024) or decimal.\n";

// The options, or a message saying what is wrong with the arguments.
std::variant<Options, std::string> ParseArgs(const std::vector<std::string>& args);
// A node id in hexadecimal with "0x" or in decimal; nullopt unless it is all digits and fits.
std::optional<pst::ndb::NodeId> ParseNodeId(const std::string& text);

}  // namespace pstinfo
