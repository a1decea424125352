// Address list parse, folded list text, and the joined display forms.
#include "mime/email_address_list.h"

#include "mime/text_lines.h"
#include "platform/os/text_compare.h"
#include "support/diag/error.h"
#include "support/dispatch/wide_text.h"

namespace mime {

bool NextListItem(std::string_view& rest, std::string_view& item) {
  if (rest.empty()) return false;
  const char quote = rest.front() == '\'' ? '\'' : '"';
  bool quoted = false;
  char previous = 0;
  for (size_t i = 0; i < rest.size(); ++i) {
    char c = rest[i];
    bool escaped = previous == '\\';
    previous = c;
    if (c == quote && !escaped) {
      quoted = !quoted;
    } else if (!quoted && (c == ',' || c == ';') && !escaped) {
      // A leading separator takes everything after it as one item.
      item = i == 0 ? rest.substr(1) : rest.substr(0, i);
      rest = i == 0 ? std::string_view() : rest.substr(i + 1);
      return true;
    }
  }
  item = rest;
  rest = {};
  return true;
}

namespace {

constexpr size_t kFoldWidth = 64;
constexpr std::string_view kDisplaySeparator = ", ";

// Calls take(item) for each item of a list text that holds more than blanks: the list's entries.
template <typename Take>
void ForEachEntryText(std::string_view text, Take take) {
  std::string_view rest = text, item;
  while (NextListItem(rest, item)) {
    if (!Trim(item).empty()) take(item);
  }
}

}  // namespace

std::string DisplayListOf(std::string_view text) {
  std::string list, display_name, email;
  bool first = true;
  ForEachEntryText(text, [&](std::string_view item) {
    ParseAddress(item, 0, display_name, email);
    if (!first) list += kDisplaySeparator;
    first = false;
    list += ChooseDisplayText(display_name, email);
  });
  return list;
}

std::unique_ptr<TMimeEmailAddress> TMimeEmailAddressList::NewEntry() {
  return std::make_unique<TMimeEmailAddress>();
}

void TMimeEmailAddressList::EntryChanged() {
  text_current_ = false;
  NotifyChanged();
}

void TMimeEmailAddressList::SetText(std::string_view text) {
  entries_.clear();
  text_ = std::string(text);
  ForEachEntryText(text_, [this](std::string_view item) {
    auto entry = NewEntry();
    entry->SetText(item);
    entry->SetChangeHandler([this](TMimeHeaderItem&) { EntryChanged(); });
    entries_.push_back(std::move(entry));
  });
  text_current_ = true;
  NotifyChanged();
}

std::string TMimeEmailAddressList::GetText() const {
  if (text_current_) return text_;
  std::string text;
  size_t width = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string entry = entries_[i]->GetText();
    if (width + entry.size() <= kFoldWidth) {
      if (i > 0) text += ", ";
      width += (i > 0 ? 2 : 0) + entry.size();
    } else {
      if (i > 0) text += ",\r\n        ";
      width = 0;
    }
    text += entry;
  }
  text_ = std::move(text);
  text_current_ = true;
  return text_;
}

TMimeEmailAddress& TMimeEmailAddressList::Get(int index) const {
  if (index < 0 || index >= Count())
    throw diag::EPlError("List index out of bounds (" + std::to_string(index) + ")");
  return *entries_[static_cast<size_t>(index)];
}

void TMimeEmailAddressList::Delete(int index) {
  Get(index);
  entries_.erase(entries_.begin() + index);
  EntryChanged();
}

TMimeEmailAddress& TMimeEmailAddressList::Append(const std::string* email) {
  entries_.push_back(NewEntry());
  TMimeEmailAddress& entry = *entries_.back();
  entry.SetChangeHandler([this](TMimeHeaderItem&) { EntryChanged(); });
  if (email) entry.SetEmail(*email);
  return entry;
}

void TMimeEmailAddressList::ClearAll() {
  entries_.clear();
  text_.clear();
  text_current_ = true;
}

bool TMimeEmailAddressList::Contains(std::string_view email) const {
  for (const auto& entry : entries_)
    if (os::EqualsTextIgnoreCase(entry->Email(), email)) return true;
  return false;
}

template <typename Part>
std::string TMimeEmailAddressList::Joined(Part part) const {
  std::string out;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (i > 0) out += kDisplaySeparator;
    out += part(*entries_[i]);
  }
  return out;
}

std::string TMimeEmailAddressList::DisplayList() const {
  return Joined([](const TMimeEmailAddress& a) { return a.DisplayText(); });
}

std::string TMimeEmailAddressList::DisplayListUtf() const {
  return Joined([](const TMimeEmailAddress& a) { return a.DisplayTextUtf(); });
}

// The entries' display texts, decoded, as one wide string joined with ", ".
std::u16string TMimeEmailAddressList::DisplayListUnicode() const {
  return dispatch::Utf8ToWide(DisplayListUtf());
}

std::string TMimeEmailAddressList::EmailList() const {
  return Joined([](const TMimeEmailAddress& a) { return a.Email(); });
}

}  // namespace mime
