// One address of a header field split into display name and e-mail address. The parse is lenient
// and byte-oriented; display names keep their encoded words until a "Utf" form is asked for.
#pragma once

#include <string>
#include <string_view>

#include "mime/header_item.h"

namespace mime {

// What an address shows: its display name, or its email when it has none.
template <typename Text>
Text& ChooseDisplayText(Text& display_name, Text& email) {
  return display_name.empty() ? email : display_name;
}

class TMimeEmailAddress : public TMimeHeaderItem {
 public:
  std::string GetText() const override { return text_; }
  void SetText(std::string_view text) override;

  const std::string& Email() const { return email_; }
  void SetEmail(std::string_view email);
  // Email up to the first "@" or "+"; before the first "@"; after the first "@".
  std::string Mailbox() const;
  std::string UserPart() const;
  std::string Domain() const;

  const std::string& DisplayName() const { return display_name_; }
  void SetDisplayName(std::string_view name);
  std::u16string DisplayNameUnicode() const;
  void SetDisplayNameUnicode(std::u16string_view name);
  std::string DisplayNameUtf() const;
  void SetDisplayNameUtf(std::string_view name);
  std::string DisplayNameHtml() const;
  // The display name, or the email when there is none.
  const std::string& DisplayText() const { return ChooseDisplayText(display_name_, email_); }
  std::string DisplayTextUtf() const;
  std::string DisplayTextHtml() const;
  bool Present() const { return !email_.empty(); }

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  void Rebuild();

  std::string text_;
  std::string email_;
  std::string display_name_;
};

// The entry-th address of text (separators "," and ";"): display name and e-mail address.
void ParseAddress(std::string_view text, int entry, std::string& display_name, std::string& email);

// The DisplayText of an address whose text is set to text, without making the address.
std::string DisplayTextOf(std::string_view text);

// One encoded word when text holds a byte above 126, else text unchanged.
std::string EncodeWhenEightBit(std::string_view text);

}  // namespace mime
