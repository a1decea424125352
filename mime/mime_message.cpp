// Message creation, identity (GUID) and the part list.
#include "mime/mime_message.h"

#include <algorithm>
#include <cstdio>

#include "platform/os/guid.h"
#include "support/diag/error.h"

namespace mime {
namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from the binary layout (first three groups
// little-endian).
std::string GuidText(const os::Guid& g) {
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g[3],
                g[2], g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13],
                g[14], g[15]);
  return text;
}

}  // namespace

TMimeMessage::TMimeMessage()
    : header_(std::make_unique<TMimeHeader>()),
      body_(std::make_unique<TMimeBody>()),
      sub_parts_(std::make_unique<TMimePartList>(this)),
      envelope_(std::make_unique<TMimeMessageEnvelope>()) {
  NewGuid();
}

TMimeMessage::~TMimeMessage() = default;

void TMimeMessage::NewGuid() { SetGuid(GuidText(os::CurrentGuidSource().NewGuid())); }

void TMimeMessage::SetGuid(std::string_view guid) {
  guid_ = std::string(guid);
  uid_ = guid_.size() > 1 ? guid_.substr(1, 36) : std::string();
}

bool TMimeMessage::IsOfType(std::string_view prefix) const {
  return header_->ContentType().MatchesMimeType(prefix);
}

TMimeMessage& TMimeMessage::KeepUnplaced(std::unique_ptr<TMimeMessage> part) {
  part->unplaced_holder_ = this;
  unplaced_.push_back(std::move(part));
  return *unplaced_.back();
}

std::unique_ptr<TMimeMessage> TMimeMessage::DetachFromOwner() {
  if (parent_) {
    std::unique_ptr<TMimeMessage> self = parent_->sub_parts_->Extract(*this);
    if (self) self->parent_ = nullptr;
    return self;
  }
  if (unplaced_holder_) {
    auto& list = unplaced_holder_->unplaced_;
    auto it =
        std::find_if(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
    if (it == list.end()) return nullptr;
    std::unique_ptr<TMimeMessage> self = std::move(*it);
    list.erase(it);
    self->unplaced_holder_ = nullptr;
    return self;
  }
  return nullptr;
}

int TMimePartList::Add(std::unique_ptr<TMimeMessage> part) {
  part->parent_ = owner_;
  items_.push_back(std::move(part));
  return Count() - 1;
}

void TMimePartList::Insert(int index, std::unique_ptr<TMimeMessage> part) {
  if (index < 0 || index > Count())
    throw diag::EPlError("List index out of bounds (" + std::to_string(index) + ")");
  part->parent_ = owner_;
  items_.insert(items_.begin() + index, std::move(part));
}

void TMimePartList::MoveTo(TMimePartList& target) {
  if (&target == this) return;
  for (auto& item : items_) target.Add(std::move(item));
  items_.clear();
}

TMimeMessage& TMimePartList::Item(int index) const {
  if (index < 0 || index >= Count())
    throw diag::EPlError("List index out of bounds (" + std::to_string(index) + ")");
  return *items_[static_cast<size_t>(index)];
}

std::unique_ptr<TMimeMessage> TMimePartList::Extract(const TMimeMessage& part) {
  auto it =
      std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == &part; });
  if (it == items_.end()) return nullptr;
  std::unique_ptr<TMimeMessage> released = std::move(*it);
  items_.erase(it);
  return released;
}

}  // namespace mime
