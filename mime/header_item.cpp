// Parameters of structured header values, and the text-only value object.
#include "mime/header_item.h"

#include "mime/text_lines.h"
#include "platform/os/text_compare.h"

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

namespace mime {
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
    if (c == '"') {
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
  std::string_view wanted = Trim(name);
  ForEachPiece(text, [&](std::string_view key, std::string_view value) {
    if (!os::EqualsTextIgnoreCase(key, wanted)) return false;
    result = std::string(value);
    return true;
  });
  return result;
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
