// The message model's one door to character-set conversion: a converter between two named sets,
// kept for a whole body when needed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace mime {

class CharsetConverter {
 public:
  CharsetConverter(std::string_view source, std::string_view destination);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  std::string Convert(std::string_view text);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One-off conversion.
std::string ConvertCharset(std::string_view source, std::string_view destination,
                           std::string_view text);

}  // namespace mime
