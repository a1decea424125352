// Address parse and the display forms of one address.
#include "mime/email_address.h"

#include <array>

#include "mime/encoded_words.h"
#include "mime/numeric_references.h"
#include "mime/quoted_printable_codec.h"
#include "mime/text_lines.h"
#include "support/dispatch/wide_text.h"

namespace mime {
namespace {

bool IsAddressBreak(char c) { return c == ' ' || c == ',' || c == ';'; }

// The bytes the address parse gives a meaning: separators, brackets, quotes, escapes, colons.
constexpr std::array<bool, 256> kAddressMarks = [] {
  std::array<bool, 256> marks{};
  for (unsigned char c : {',', ';', '<', '>', '"', ':', '\\'}) marks[c] = true;
  return marks;
}();

size_t PlainRunLength(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && !kAddressMarks[static_cast<unsigned char>(s[n])]) ++n;
  return n;
}

// "Name (user)" with no angle address: the parenthesised word is the address.
void TakeParenthesised(std::string& d, std::string& e) {
  size_t open = d.find('(');
  if (open == std::string::npos) return;
  size_t close = d.find(')', open);
  if (close == std::string::npos) return;
  e = d.substr(open + 1, close - open - 1);
  d.erase(open, close - open + 1);
}

// "Name user@host" with no angle address: the word around "@" is the address.
void TakeBareAddress(std::string& d, std::string& e) {
  size_t at = d.find('@');
  if (at == std::string::npos) return;
  size_t end = at + 1;
  while (end < d.size() && !IsAddressBreak(d[end])) ++end;
  e = "@" + d.substr(at + 1, end - at - 1);
  d.erase(at, (end < d.size() ? end + 1 : end) - at);
  size_t start = at;
  while (start > 0 && !IsAddressBreak(d[start - 1])) --start;
  e = d.substr(start, at - start) + e;
  d.erase(start, at - start);
}

// Trim, without a copy.
void TrimInPlace(std::string& s) {
  const std::string_view kept = Trim(s);
  if (kept.empty()) return s.clear();
  const auto start = static_cast<size_t>(kept.data() - s.data());
  s.erase(start + kept.size());
  s.erase(0, start);
}

}  // namespace

void ParseAddress(std::string_view s, int entry, std::string& d, std::string& e) {
  d.clear();
  e.clear();
  bool quoted = false, angle = false;
  char previous = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    // Bytes without a meaning of their own go where the state sends them, a run at a time.
    const size_t run = PlainRunLength(s.substr(i));
    if (run > 0) {
      if (entry == 0) (quoted || !angle ? d : e).append(s.substr(i, run));
      i += run - 1;
      previous = s[i];
      continue;
    }
    const char c = s[i];
    bool escaped = previous == '\\';
    if (quoted) {
      if (c == '"' && !escaped)
        quoted = false;
      else if (entry == 0)
        d.push_back(c);
    } else if ((c == ',' || c == ';') && !escaped) {
      --entry;
    } else if (c == '<' && !escaped) {
      angle = true;
    } else if (c == '>' && !escaped) {
      angle = false;
    } else if (c == '"' && !escaped) {
      quoted = true;
    } else if (c == ':' && !angle && !escaped) {
      // The end of a group's name ("Name: member, ...;"): not part of the name.
    } else if (entry == 0 && (c != '\\' || escaped)) {
      (angle ? e : d).push_back(c);
    }
    previous = c;
  }
  if (!d.empty() && e.empty()) TakeParenthesised(d, e);
  if (!d.empty() && e.empty()) TakeBareAddress(d, e);
  TrimInPlace(d);
  TrimInPlace(e);
}

std::string DisplayTextOf(std::string_view text) {
  std::string display_name, email;
  ParseAddress(text, 0, display_name, email);
  return std::move(ChooseDisplayText(display_name, email));
}

std::string EncodeWhenEightBit(std::string_view text) {
  return NeedsEncoding(text) ? "=?utf-8?Q?" + EncodeQ(text) + "?=" : std::string(text);
}

void TMimeEmailAddress::SetText(std::string_view text) {
  text_ = std::string(text);
  mime::ParseAddress(text_, 0, display_name_, email_);
  NotifyChanged();
}

void TMimeEmailAddress::Rebuild() {
  text_ = display_name_.empty() ? email_ : display_name_ + " <" + email_ + ">";
  NotifyChanged();
}

void TMimeEmailAddress::SetEmail(std::string_view email) {
  email_ = std::string(email);
  Rebuild();
}

void TMimeEmailAddress::SetDisplayName(std::string_view name) {
  display_name_ = std::string(name);
  Rebuild();
}

std::string TMimeEmailAddress::Mailbox() const {
  return email_.substr(0, email_.find_first_of("@+"));
}

std::string TMimeEmailAddress::UserPart() const { return email_.substr(0, email_.find('@')); }

std::string TMimeEmailAddress::Domain() const {
  size_t at = email_.find('@');
  return at == std::string::npos ? std::string() : email_.substr(at + 1);
}

std::u16string TMimeEmailAddress::DisplayNameUnicode() const {
  return dispatch::Utf8ToWide(mime::DecodeHeaderText(display_name_));
}

void TMimeEmailAddress::SetDisplayNameUnicode(std::u16string_view name) {
  display_name_ = mime::EncodeHeaderText(dispatch::WideToUtf8(name));
  Rebuild();
}

std::string TMimeEmailAddress::DisplayNameUtf() const {
  return mime::DecodeHeaderText(display_name_);
}

void TMimeEmailAddress::SetDisplayNameUtf(std::string_view name) {
  display_name_ = mime::EncodeWhenEightBit(name);
  Rebuild();
}

std::string TMimeEmailAddress::DisplayNameHtml() const {
  return mime::ToNumericReferences(DisplayNameUtf());
}

std::string TMimeEmailAddress::DisplayTextUtf() const {
  return mime::DecodeHeaderText(DisplayText());
}

std::string TMimeEmailAddress::DisplayTextHtml() const {
  return mime::ToNumericReferences(DisplayTextUtf());
}

}  // namespace mime
