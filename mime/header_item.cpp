// Parameters of structured header values, and the text-only value object.
#include "mime/header_item.h"

#include <map>

#include "mime/charset_bridge.h"
#include "mime/text_lines.h"
#include "platform/os/text_compare.h"

namespace mime {

void TMimeHeaderTextItem::SetText(std::string_view text) {
  text_ = std::string(text);
  NotifyChanged();
}

std::string TMimeHeaderItem::ParamNameByIndex(int index) const {
  return mime::ParameterName(GetText(), index);
}

std::string TMimeHeaderItem::ParamValueByName(std::string_view name) const {
  return mime::ParameterValue(GetText(), name);
}

namespace {

bool IsSeparator(char c) { return c == ';' || c == ','; }

// Walks text + ";" as key=value pieces; visit(key, value) returns true to stop.
template <typename Visit>
void ForEachPiece(std::string_view text, Visit&& visit) {
  std::string key, value;
  bool quoted = false, after_equals = false;
  auto at = [&](size_t i) { return i < text.size() ? text[i] : ';'; };
  for (size_t i = 0; i <= text.size(); ++i) {
    char c = at(i);
    if (quoted && c == '\\' && i + 1 < text.size()) {
      value.push_back(text[++i]);  // a quoted pair stands for the character after the backslash
    } else if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      value.push_back(c);
    } else if (IsSeparator(c)) {
      if (visit(Trim(key), Trim(value))) return;
      key.clear();
      value.clear();
      after_equals = false;
    } else if (c == '=' && !after_equals) {
      after_equals = true;
    } else {
      (after_equals ? value : key).push_back(c);
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// One section of a parameter value split after RFC 2231: name*, name*N or name*N*.
struct Section {
  bool encoded = false;
  std::string value;
};

// The value of name given in RFC 2231 sections (charset'language'percent-encoded), converted to
// UTF-8; empty when there are none.
std::string ExtendedParameterValue(std::string_view text, std::string_view name) {
  std::map<int, Section> sections;
  ForEachPiece(text, [&](std::string_view key, std::string_view value) {
    if (key.size() <= name.size() || key[name.size()] != '*' ||
        !os::EqualsTextIgnoreCase(key.substr(0, name.size()), name)) {
      return false;
    }
    std::string_view rest = key.substr(name.size() + 1);
    Section section{rest.empty() || rest.back() == '*', std::string(value)};
    if (!rest.empty() && rest.back() == '*') rest.remove_suffix(1);
    int index = 0;
    for (char c : rest) {
      if (c < '0' || c > '9' || index > 1000) return false;
      index = index * 10 + (c - '0');
    }
    sections.emplace(index, std::move(section));
    return false;
  });
  std::string charset, bytes;
  for (auto& [index, section] : sections) {
    std::string_view value = section.value;
    if (section.encoded && index == 0) {
      const size_t charset_end = value.find('\'');
      const size_t language_end =
          charset_end == std::string_view::npos ? charset_end : value.find('\'', charset_end + 1);
      if (language_end != std::string_view::npos) {
        charset = std::string(value.substr(0, charset_end));
        value.remove_prefix(language_end + 1);
      }
    }
    bytes += section.encoded ? PercentDecoded(value) : std::string(value);
  }
  return charset.empty() ? bytes : ConvertCharset(charset, "utf-8", bytes);
}

}  // namespace

std::string MainValue(std::string_view text) {
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (!quoted && IsSeparator(text[i])) return std::string(Trim(text.substr(0, i)));
  }
  return std::string(Trim(text));
}

std::string ParameterValue(std::string_view text, std::string_view name) {
  std::string result;
  bool found = false;
  std::string_view wanted = Trim(name);
  ForEachPiece(text, [&](std::string_view key, std::string_view value) {
    if (!os::EqualsTextIgnoreCase(key, wanted)) return false;
    result = std::string(value);
    found = true;
    return true;
  });
  return found ? result : ExtendedParameterValue(text, wanted);
}

std::string ParameterName(std::string_view text, int index) {
  std::string result;
  int piece = -1;  // the main value is piece -1
  ForEachPiece(text, [&](std::string_view key, std::string_view) {
    if (piece++ != index) return false;
    result = std::string(key);
    return true;
  });
  return result;
}

}  // namespace mime
