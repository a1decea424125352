// Option lookup on the program's arguments: "-x" or "/x", the letter in either case, the value in
// the following argument; values completed to paths in the current directory when they hold no "/".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

class CommandLine {
 public:
  // The arguments without the program's name; current_directory is used for path completion.
  CommandLine(std::vector<std::string> arguments, std::string current_directory);

  bool empty() const { return arguments_.empty(); }

  // True when some argument is the option itself, whether or not a value follows it.
  bool OptionPresent(char letter) const;

  // The argument after the first one that is the option; empty when the option is missing or is the
  // last argument. With complete_path, a value taken from a following argument is completed.
  std::string OptionValue(char letter, bool complete_path) const;

 private:
  std::optional<std::size_t> FindOption(char letter) const;

  std::vector<std::string> arguments_;
  std::string current_directory_;
};

// A value without "/" becomes current_directory, "/" and the value; anything else stays as it is.
std::string CompletePath(std::string_view value, std::string_view current_directory);

}  // namespace driver
