// Rendering of property values for the object report.
#include "tools/pstinfo/property_render.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "tools/pstinfo/text_format.h"

namespace pstinfo {
namespace {

namespace pt = pst::ltp::prop_type;
using pst::ltp::PropertyValue;

const char* BaseTypeName(std::uint16_t base) {
  switch (base) {
    case pt::kInt16:
      return "I2";
    case pt::kInt32:
      return "LONG";
    case pt::kFloat:
      return "FLOAT";
    case pt::kDouble:
      return "DOUBLE";
    case pt::kCurrency:
      return "CURRENCY";
    case pt::kAppTime:
      return "APPTIME";
    case pt::kError:
      return "ERROR";
    case pt::kBoolean:
      return "BOOLEAN";
    case pt::kObject:
      return "OBJECT";
    case pt::kInt64:
      return "I8";
    case pt::kString8:
      return "STRING8";
    case pt::kUnicode:
      return "UNICODE";
    case pt::kSysTime:
      return "SYSTIME";
    case pt::kClsid:
      return "CLSID";
    case pt::kServerId:
      return "SVREID";
    case pt::kRestriction:
      return "SRESTRICT";
    case pt::kRuleActions:
      return "ACTIONS";
    case pt::kBinary:
      return "BINARY";
    default:
      return nullptr;
  }
}

template <typename T>
std::string Failed(const pst::Result<T>& r) {
  return "<" + r.status().message() + ">";
}

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A FILETIME (100 ns since 1601-01-01) as "YYYY-MM-DD HH:MM:SS UTC".
std::string FileTimeText(std::int64_t filetime) {
  using namespace std::chrono;
  constexpr std::int64_t kUnixEpochSeconds = 11644473600LL;
  if (filetime < 0) return std::to_string(filetime) + " (not a date)";
  const sys_seconds instant{seconds{filetime / 10000000 - kUnixEpochSeconds}};
  const sys_days day = floor<days>(instant);
  const year_month_day date{day};
  const hh_mm_ss time{instant - day};
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  return text;
}

std::string BinaryText(const std::vector<std::byte>& bytes) {
  return RenderBinaryPreview(bytes, bytes.size());
}

// Control characters escaped; cut at a character boundary after kStringPreview bytes.
std::string QuotedText(const std::string& text) {
  std::string out = "\"";
  std::size_t i = 0;
  for (; i < text.size() && i < kStringPreview; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) out += text[i++];
  out += '"';
  if (i < text.size()) out += " ... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

std::string GuidText(const pst::ltp::Guid& g) {
  auto b = [&](int i) { return std::to_integer<unsigned>(g[i]); };
  char text[40];
  std::snprintf(text, sizeof text,
                "{%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x}", b(3),
                b(2), b(1), b(0), b(5), b(4), b(7), b(6), b(8), b(9), b(10), b(11), b(12), b(13),
                b(14), b(15));
  return text;
}

template <typename T, typename Format>
std::string Render(const pst::Result<T>& r, Format format) {
  return r ? format(*r) : Failed(r);
}

std::string RenderNumber(const PropertyValue& v) {
  switch (v.type()) {
    case pt::kInt16:
      return Render(v.AsInt16(), [](auto x) { return std::to_string(x); });
    case pt::kInt32:
      return Render(v.AsInt32(), [](auto x) { return std::to_string(x); });
    case pt::kError:
      return Render(v.AsInt32(), [](auto x) { return HexId(static_cast<std::uint32_t>(x)); });
    case pt::kBoolean:
      return Render(v.AsBool(), [](bool x) { return x ? "true" : "false"; });
    case pt::kFloat:
      return Render(v.AsFloat(), [](auto x) { return Printf("%g", x); });
    case pt::kDouble:
    case pt::kAppTime:
      return Render(v.AsDouble(), [](auto x) { return Printf("%.17g", x); });
    case pt::kCurrency:
      return Render(v.AsInt64(), [](auto x) { return Printf("%.4f", x / 10000.0); });
    case pt::kInt64:
      return Render(v.AsInt64(), [](auto x) { return std::to_string(x); });
    case pt::kSysTime:
      return Render(v.AsInt64(), FileTimeText);
    default:
      return {};
  }
}

std::string RenderSingle(const PropertyValue& v) {
  switch (v.type()) {
    case pt::kString8:
    case pt::kUnicode:
      return Render(v.AsUtf8(), QuotedText);
    case pt::kClsid:
      return Render(v.AsGuid(), GuidText);
    case pt::kObject:
      return Render(v.AsObject(), [](pst::ltp::ObjectRef o) {
        return "object in subnode " + HexId(o.node) + ", " + std::to_string(o.size) + " bytes";
      });
    default:
      break;
  }
  std::string number = RenderNumber(v);
  return number.empty() ? BinaryText(v.bytes()) : number;
}

std::string RenderMulti(const PropertyValue& v) {
  auto count = v.MultiValueCount();
  if (!count) return Failed(count);
  std::string out = std::to_string(*count) + " values [";
  for (std::size_t i = 0; i < *count && i < kMultiValuePreview; ++i) {
    if (i > 0) out += ", ";
    auto element = v.MultiValueAt(i);
    out += element ? RenderSingle(*element) : Failed(element);
  }
  if (*count > kMultiValuePreview) out += ", ...";
  return out + "]";
}

}  // namespace

std::string TypeName(std::uint16_t type) {
  const char* base = BaseTypeName(pst::ltp::BaseType(type));
  if (!base) return HexId(type);
  return std::string(pst::ltp::IsMultiValued(type) ? "PT_MV_" : "PT_") + base;
}

std::string RenderValue(const PropertyValue& value) {
  return pst::ltp::IsMultiValued(value.type()) ? RenderMulti(value) : RenderSingle(value);
}

std::string RenderBinaryPreview(const std::vector<std::byte>& head, std::uint64_t total) {
  std::string out = HexBytes(std::span(head).first(std::min(head.size(), kBinaryPreview)), true);
  if (total > kBinaryPreview) out += " ...";
  return out + " (" + std::to_string(total) + " bytes)";
}

}  // namespace pstinfo
