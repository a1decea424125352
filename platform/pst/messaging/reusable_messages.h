// Messages a table opened to read a column its rows lack, kept so that opening the same message
// next does not read and parse its node again. A kept message is handed out once, and only while
// nothing has been noted in the file's integrity log since it was opened: reading it again would
// then meet exactly what the first reading met (nothing), so the message handed out is the one a
// fresh open would give, and so are the findings its reader collects.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/pst/messaging/message.h"

namespace pst::messaging {

class ReusableMessages {
 public:
  // How many messages are kept at most: a contents table hands out rows in batches of about this
  // many, and the oldest is let go first.
  static constexpr std::size_t kCapacity = 32;

  // Keeps `message`, opened when the log's position was `log_position` and found clean: the
  // caller passes the position it noted before the open only when the log has not moved since.
  void Keep(Message message, std::uint64_t log_position);
  // The kept message of node `nid`, taken out; nullopt when none is kept or the log has moved
  // (`log_position` is its position now), in which case every kept message is let go.
  std::optional<Message> Take(ndb::NodeId nid, std::uint64_t log_position);

 private:
  struct Kept {
    Message message;
    std::uint64_t log_position;
  };

  // Keep and Take may come from different threads; every member below is guarded by mu_.
  std::mutex mu_;
  std::deque<Kept> kept_;  // oldest first
};

}  // namespace pst::messaging
