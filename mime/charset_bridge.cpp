// Character-set conversion through the support library's converter.
#include "mime/charset_bridge.h"

#include "support/charset/pl_converter.h"

namespace mime {

struct CharsetConverter::Impl {
  Impl(std::string_view source, std::string_view destination) : converter(source, destination) {}
  charset::TPlConverter converter;
};

CharsetConverter::CharsetConverter(std::string_view source, std::string_view destination)
    : impl_(std::make_unique<Impl>(source, destination)) {}

CharsetConverter::~CharsetConverter() = default;

std::string CharsetConverter::Convert(std::string_view text) {
  return impl_->converter.Convert(text);
}

std::string ConvertCharset(std::string_view source, std::string_view destination,
                           std::string_view text) {
  return CharsetConverter(source, destination).Convert(text);
}

}  // namespace mime
