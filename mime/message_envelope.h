// The SMTP-style envelope of a message: sender and recipient addresses, kept apart from the header
// and not filled by a parse.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/dispatch/dispatch_base.h"

namespace mime {

class TMimeMessageEnvelopeRecipients : public dispatch::TDispatchBase {
 public:
  int Count() const { return static_cast<int>(addresses_.size()); }
  void Add(std::string_view address) { addresses_.emplace_back(address); }
  // The first entry equal to address ignoring case; nothing when there is none.
  void Remove(std::string_view address);
  // Raise diag::EPlError for an index outside 0 .. Count - 1.
  void Delete(int index);
  const std::string& Get(int index) const;
  bool Contains(std::string_view address) const;
  void Clear() { addresses_.clear(); }
  const std::vector<std::string>& Addresses() const { return addresses_; }

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  std::vector<std::string> addresses_;
};

class TMimeMessageEnvelope : public dispatch::TDispatchBase {
 public:
  const std::string& Sender() const { return sender_; }
  void SetSender(std::string_view sender) { sender_ = std::string(sender); }
  TMimeMessageEnvelopeRecipients& Recipients() { return *recipients_; }
  const TMimeMessageEnvelopeRecipients& Recipients() const { return *recipients_; }

  // Feeds the sender, then each recipient (for message checksums).
  template <typename Feed>
  void FeedAddresses(Feed&& feed) const {
    feed(sender_);
    for (const std::string& address : recipients_->Addresses()) feed(address);
  }

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  std::string sender_;
  std::unique_ptr<TMimeMessageEnvelopeRecipients> recipients_ =
      std::make_unique<TMimeMessageEnvelopeRecipients>();
};

}  // namespace mime
