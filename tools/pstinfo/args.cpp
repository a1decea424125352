// Command-line parsing of the inspector.
#include "tools/pstinfo/args.h"

#include <charconv>
#include <limits>

namespace pstinfo {

std::optional<pst::ndb::NodeId> ParseNodeId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* begin = text.data() + (hex ? 2 : 0);
  const char* end = text.data() + text.size();
  std::uint64_t value = 0;
  auto [stop, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
  if (begin == end || error != std::errc() || stop != end ||
      value > std::numeric_limits<pst::ndb::NodeId>::max()) {
    return std::nullopt;
  }
  return static_cast<pst::ndb::NodeId>(value);
}

std::variant<Options, std::string> ParseArgs(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> plain;
  for (const std::string& arg : args) {
    if (arg == "--tree" || arg == "--messages") {
      if (options.mode != Mode::kReport) return std::string("only one of --tree and --messages");
      options.mode = arg == "--tree" ? Mode::kTree : Mode::kMessages;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else {
      plain.push_back(arg);
    }
  }
  if (plain.empty()) return std::string("no file given");
  const std::size_t allowed = options.mode == Mode::kReport ? 2 : 1;
  if (plain.size() > allowed) return "unexpected argument " + plain[allowed];
  options.file = plain[0];
  if (plain.size() == 2) {
    options.node = ParseNodeId(plain[1]);
    if (!options.node) return "not a node id: " + plain[1];
  }
  return options;
}

}  // namespace pstinfo
