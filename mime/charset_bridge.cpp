// Character-set conversion through the support library's converter.
#include "mime/charset_bridge.h"

#if PST2XMZ_MIME_HAVE_CHARSET
#include "support/charset/pl_converter.h"
#endif

namespace mime {

#if PST2XMZ_MIME_HAVE_CHARSET
struct CharsetConverter::Impl {
  Impl(std::string_view source, std::string_view destination) : converter(source, destination) {}
  charset::TPlConverter converter;
  std::string Convert(std::string_view text) { return converter.Convert(text); }
};
#else
// Interim stand-in until the support library is built: passes text through.
struct CharsetConverter::Impl {
  Impl(std::string_view, std::string_view) {}
  std::string Convert(std::string_view text) { return std::string(text); }
};
#endif

CharsetConverter::CharsetConverter(std::string_view source, std::string_view destination)
    : impl_(std::make_unique<Impl>(source, destination)) {}

CharsetConverter::~CharsetConverter() = default;

std::string CharsetConverter::Convert(std::string_view text) { return impl_->Convert(text); }

std::string ConvertCharset(std::string_view source, std::string_view destination, std::string_view text) {
  return CharsetConverter(source, destination).Convert(text);
}

}  // namespace mime
