// A single pass over the HTML: tags are read for their name only, text is written with its white
// space collapsed, and line breaks are written for block elements without doubling.
#include "platform/mapilib/html_to_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "support/charset/utf8_append.h"

namespace mapilib {
namespace {

// Named references for U+00A0 to U+00FF, in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 34> kOtherNames = {
    {{"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
     {"apos", '\''},     {"euro", 0x20AC},   {"hellip", 0x2026}, {"mdash", 0x2014},
     {"ndash", 0x2013},  {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},
     {"rdquo", 0x201D},  {"sbquo", 0x201A},  {"bdquo", 0x201E},  {"bull", 0x2022},
     {"trade", 0x2122},  {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009},
     {"zwnj", 0x200C},   {"zwj", 0x200D},    {"dagger", 0x2020}, {"Dagger", 0x2021},
     {"permil", 0x2030}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"OElig", 0x152},
     {"oelig", 0x153},   {"Scaron", 0x160},  {"scaron", 0x161},  {"Yuml", 0x178},
     {"circ", 0x2C6},    {"tilde", 0x2DC}}};

// Elements that stand on lines of their own.
constexpr std::array<std::string_view, 30> kBlockElements = {
    "p",      "div",  "tr",         "li",      "ul",     "ol",      "dl",      "dt",
    "dd",     "h1",   "h2",         "h3",      "h4",     "h5",      "h6",      "table",
    "hr",     "pre",  "blockquote", "address", "center", "section", "article", "header",
    "footer", "form", "caption",    "tbody",   "thead",  "html"};

// Elements whose content is not shown.
constexpr std::array<std::string_view, 4> kHiddenElements = {"script", "style", "title", "xml"};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Contains(std::span<const std::string_view> names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A numeric reference to NUL, a surrogate or beyond U+10FFFF stands for U+FFFD.
char32_t ScalarOrReplacement(std::uint32_t cp) {
  return cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? 0xFFFD : cp;
}

std::optional<std::uint32_t> NamedReference(std::string_view name) {
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
    if (kLatin1Names[i] == name) return static_cast<std::uint32_t>(0xA0 + i);
  }
  for (const auto& [n, cp] : kOtherNames) {
    if (n == name) return cp;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> NumericReference(std::string_view digits) {
  const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
  if (hex) digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f') {
      d = Lower(c) - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value =
        std::min<std::uint32_t>(value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d), 0x110000);
  }
  return value;
}

class TextWriter {
 public:
  explicit TextWriter(std::string_view html) : html_(html) {}

  std::string Write() {
    while (pos_ < html_.size()) {
      const char c = html_[pos_];
      if (c == '<') {
        Tag();
      } else if (c == '&') {
        Reference();
      } else {
        Char(c);
        ++pos_;
      }
    }
    while (!out_.empty() && IsSpace(out_.back())) out_.pop_back();
    return std::move(out_);
  }

 private:
  void Char(char c) {
    if (!IsSpace(c) || pre_ > 0) {
      if (c == '\n' && pre_ > 0) return LineBreak();
      if (c == '\r' && pre_ > 0) return;
      FlushSpace();
      out_ += c;
      at_line_start_ = false;
      return;
    }
    pending_space_ = !at_line_start_;
  }

  void FlushSpace() {
    if (pending_space_) out_ += ' ';
    pending_space_ = false;
  }

  void LineBreak() {
    out_ += "\r\n";
    at_line_start_ = true;
    pending_space_ = false;
  }

  void BlockBreak() {
    if (!at_line_start_) LineBreak();
    pending_space_ = false;
  }

  void Reference() {
    const std::size_t end = html_.find_first_of(";<& \t\r\n", pos_ + 1);
    if (end == std::string_view::npos || html_[end] != ';' || end - pos_ > 12) {
      Char('&');
      ++pos_;
      return;
    }
    const std::string_view name = html_.substr(pos_ + 1, end - pos_ - 1);
    auto cp =
        !name.empty() && name[0] == '#' ? NumericReference(name.substr(1)) : NamedReference(name);
    if (!cp) {
      Char('&');
      ++pos_;
      return;
    }
    pos_ = end + 1;
    if (*cp == 0xAD) return;  // a soft hyphen shows only where a line breaks
    FlushSpace();
    if (*cp == 0xA0) {
      out_ += ' ';
    } else {
      charset::AppendUtf8(out_, ScalarOrReplacement(*cp));
    }
    at_line_start_ = false;
  }

  void Tag() {
    if (html_.substr(pos_, 4) == "<!--") {
      const std::size_t end = html_.find("-->", pos_ + 4);
      pos_ = end == std::string_view::npos ? html_.size() : end + 3;
      return;
    }
    std::size_t p = pos_ + 1;
    const bool closing = p < html_.size() && html_[p] == '/';
    if (closing) ++p;
    std::string name;
    const bool named = p < html_.size() && std::isalpha(static_cast<unsigned char>(html_[p]));
    while (named && p < html_.size() &&
           (std::isalnum(static_cast<unsigned char>(html_[p])) || html_[p] == ':')) {
      name += Lower(html_[p++]);
    }
    if (name.empty() && !(p < html_.size() && (html_[p] == '!' || html_[p] == '?'))) {
      Char('<');  // a "<" that opens no tag is text
      ++pos_;
      return;
    }
    pos_ = TagEnd(p);
    if (closing) return CloseTag(name);
    OpenTag(name);
  }

  // The position after the tag's ">", quoted attribute values skipped.
  std::size_t TagEnd(std::size_t p) const {
    char quote = 0;
    for (; p < html_.size(); ++p) {
      const char c = html_[p];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        return p + 1;
      }
    }
    return html_.size();
  }

  void OpenTag(const std::string& name) {
    if (name == "br") return LineBreak();
    if (Contains(kHiddenElements, name)) return SkipContent(name);
    if (name == "pre") ++pre_;
    if (name == "td" || name == "th") {
      if (!at_line_start_) out_ += '\t';
      pending_space_ = false;
      return;
    }
    if (Contains(kBlockElements, name)) BlockBreak();
  }

  void CloseTag(const std::string& name) {
    if (name == "pre" && pre_ > 0) --pre_;
    if (Contains(kBlockElements, name)) BlockBreak();
  }

  // Skips to the end of the element's closing tag.
  void SkipContent(const std::string& name) {
    const std::string closing = "</" + name;
    while (pos_ < html_.size()) {
      const std::size_t lt = html_.find("</", pos_);
      if (lt == std::string_view::npos) break;
      std::size_t i = 0;
      while (i < closing.size() && lt + i < html_.size() && Lower(html_[lt + i]) == closing[i]) ++i;
      if (i == closing.size()) {
        pos_ = TagEnd(lt + closing.size());
        return;
      }
      pos_ = lt + 2;
    }
    pos_ = html_.size();
  }

  std::string_view html_;
  std::size_t pos_ = 0;
  std::string out_;
  bool at_line_start_ = true;
  bool pending_space_ = false;
  int pre_ = 0;
};

}  // namespace

std::string HtmlToText(std::string_view html) { return TextWriter(html).Write(); }

}  // namespace mapilib
