// Kept messages: a short queue, searched by node id, emptied whenever the integrity log moved.
#include "platform/pst/messaging/reusable_messages.h"

#include <algorithm>

namespace pst::messaging {

void ReusableMessages::Keep(Message message, std::uint64_t log_position) {
  std::lock_guard lock(mu_);
  if (!kept_.empty() && kept_.back().log_position != log_position) kept_.clear();
  if (kept_.size() == kCapacity) kept_.pop_front();
  kept_.push_back({std::move(message), log_position});
}

std::optional<Message> ReusableMessages::Take(ndb::NodeId nid, std::uint64_t log_position) {
  std::lock_guard lock(mu_);
  if (kept_.empty()) return std::nullopt;
  if (kept_.back().log_position != log_position) {
    kept_.clear();
    return std::nullopt;
  }
  auto it = std::find_if(kept_.begin(), kept_.end(),
                         [nid](const Kept& kept) { return kept.message.id() == nid; });
  if (it == kept_.end()) return std::nullopt;
  std::optional<Message> taken(std::move(it->message));
  kept_.erase(it);
  return taken;
}

}  // namespace pst::messaging
