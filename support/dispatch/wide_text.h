// UTF-8 <-> UTF-16 for the wide strings of automation values. Malformed input never stops the
// conversion: an undecodable UTF-8 byte or a lone surrogate becomes U+FFFD and the rest follows.
#pragma once

#include <string>
#include <string_view>

namespace dispatch {

std::u16string Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

}  // namespace dispatch
