// The text channel between a message's producing thread and its writing thread: every piece
// arrives in order, the producer's result or exception arrives at the end, and a producer that
// the writer lets go stops instead of filling memory.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "libs/import_session/text_channel.h"

namespace import_session {
namespace {

class StringSink final : public MessageTextSink {
 public:
  void Write(std::string_view piece) override { text.append(piece); }
  std::string text;
};

// Pieces of sizes that do not divide the chunk size, numbered so that order shows.
std::string Piece(int i) { return std::to_string(i) + std::string(997 + i % 13, 'a' + i % 26); }

TEST(TextChannel, LongTextPassesWholeAndInOrderBetweenThreads) {
  TextChannel channel;
  std::string expected;
  for (int i = 0; i < 2000; ++i) expected += Piece(i);
  std::thread producer([&channel] {
    for (int i = 0; i < 2000; ++i) channel.Write(Piece(i));
    channel.Finish(0, nullptr);
  });
  StringSink sink;
  EXPECT_EQ(channel.DrainTo(sink), 0);
  producer.join();
  EXPECT_EQ(sink.text.size(), expected.size());
  EXPECT_TRUE(sink.text == expected);
}

TEST(TextChannel, BrokenOffTextGivesWhatWasWrittenThenTheResult) {
  TextChannel channel;
  channel.Write("Subject: x\r\n");
  channel.Finish(static_cast<std::int32_t>(0x8003001E), nullptr);
  StringSink sink;
  EXPECT_EQ(channel.DrainTo(sink), static_cast<std::int32_t>(0x8003001E));
  EXPECT_EQ(sink.text, "Subject: x\r\n");
}

TEST(TextChannel, ProducersExceptionIsRethrownAfterTheTextBeforeIt) {
  TextChannel channel;
  channel.Write("first line\r\n");
  channel.Finish(0, std::make_exception_ptr(std::runtime_error("stream gone")));
  StringSink sink;
  EXPECT_THROW(
      {
        try {
          channel.DrainTo(sink);
        } catch (const std::runtime_error& error) {
          EXPECT_STREQ(error.what(), "stream gone");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_EQ(sink.text, "first line\r\n");
}

TEST(TextChannel, ProducerLetGoStopsAtTheBoundInsteadOfFinishing) {
  TextChannel channel;
  bool stopped = false;
  std::thread producer([&] {
    // Far more than the channel holds: the producer must wait for room until it is let go.
    const std::string piece(TextChannel::kChunkSize, 'x');
    try {
      for (std::size_t i = 0; i < 4 * TextChannel::kMaxWaitingChunks; ++i) channel.Write(piece);
    } catch (const TextChannelClosed&) {
      stopped = true;
    }
    channel.Finish(0, nullptr);
  });
  channel.Close();
  producer.join();
  EXPECT_TRUE(stopped);
  StringSink sink;
  EXPECT_EQ(channel.DrainTo(sink), 0);
  EXPECT_TRUE(sink.text.empty()) << "nothing is kept for a text no longer wanted";
}

}  // namespace
}  // namespace import_session
