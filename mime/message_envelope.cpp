// Envelope recipients: an ordered list compared without regard to case.
#include "mime/message_envelope.h"

#include "platform/os/text_compare.h"
#include "support/diag/error.h"

namespace mime {
namespace {

void CheckIndex(int index, int count) {
  if (index < 0 || index >= count)
    throw diag::EPlError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

void TMimeMessageEnvelopeRecipients::Remove(std::string_view address) {
  for (auto it = addresses_.begin(); it != addresses_.end(); ++it) {
    if (os::EqualsTextIgnoreCase(*it, address)) {
      addresses_.erase(it);
      return;
    }
  }
}

void TMimeMessageEnvelopeRecipients::Delete(int index) {
  CheckIndex(index, Count());
  addresses_.erase(addresses_.begin() + index);
}

const std::string& TMimeMessageEnvelopeRecipients::Get(int index) const {
  CheckIndex(index, Count());
  return addresses_[static_cast<size_t>(index)];
}

bool TMimeMessageEnvelopeRecipients::Contains(std::string_view address) const {
  for (const std::string& entry : addresses_)
    if (os::EqualsTextIgnoreCase(entry, address)) return true;
  return false;
}

}  // namespace mime
