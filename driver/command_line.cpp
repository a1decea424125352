// Option lookup and path completion.
#include "driver/command_line.h"

#include "platform/os/path_syntax.h"
#include "platform/os/text_compare.h"

namespace driver {

CommandLine::CommandLine(std::vector<std::string> arguments, std::string current_directory)
    : arguments_(std::move(arguments)), current_directory_(std::move(current_directory)) {}

bool CommandLine::OptionPresent(char letter) const { return FindOption(letter).has_value(); }

std::string CommandLine::OptionValue(char letter, bool complete_path) const {
  std::optional<std::size_t> at = FindOption(letter);
  if (!at || *at + 1 >= arguments_.size()) return {};
  const std::string& value = arguments_[*at + 1];
  return complete_path ? CompletePath(value, current_directory_) : value;
}

std::optional<std::size_t> CommandLine::FindOption(char letter) const {
  const std::string dash{'-', letter};
  const std::string slash{'/', letter};
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    if (os::EqualsTextIgnoreCase(arguments_[i], dash) ||
        os::EqualsTextIgnoreCase(arguments_[i], slash))
      return i;
  }
  return std::nullopt;
}

std::string CompletePath(std::string_view value, std::string_view current_directory) {
  if (os::LocatesItself(value)) return std::string(value);
  std::string path(current_directory);
  path.push_back(os::kPathSeparator);
  path.append(value);
  return path;
}

}  // namespace driver
