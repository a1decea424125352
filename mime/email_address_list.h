// The entries of an address list field ("To", "Cc"). The list text is rebuilt, folded, from the
// entries after an entry changes; a change of any entry is passed on to the list's own handler.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mime/email_address.h"

namespace mime {

class TMimeEmailAddressList : public TMimeHeaderItem {
 public:
  std::string GetText() const override;
  void SetText(std::string_view text) override;

  int Count() const { return static_cast<int>(entries_.size()); }
  // Raises diag::EPlError for an index outside 0 .. Count - 1.
  TMimeEmailAddress& Get(int index) const;
  void Delete(int index);
  // A new entry; its Email is set when email is given.
  TMimeEmailAddress& Append(const std::string* email = nullptr);
  void ClearAll();
  bool Contains(std::string_view email) const;

  std::string DisplayList() const;
  std::string DisplayListUtf() const;
  std::u16string DisplayListUnicode() const;
  std::string EmailList() const;

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  std::unique_ptr<TMimeEmailAddress> NewEntry();
  void EntryChanged();
  template <typename Part>
  std::string Joined(Part part) const;

  mutable std::string text_;
  std::vector<std::unique_ptr<TMimeEmailAddress>> entries_;
  mutable bool text_current_ = true;
};

// Splits the next item off rest (see the list parse); false when rest was empty.
bool NextListItem(std::string_view& rest, std::string_view& item);

// The DisplayList of a list whose text is set to text, without making the list's entries.
std::string DisplayListOf(std::string_view text);

}  // namespace mime
