// The archive writer: block and record layout, numbering, and what a failed write leaves behind.
#include "driver/archive_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <new>

#include "driver/export_error.h"
#include "driver/index_record.h"
#include "mime/index_summary.h"

namespace driver {
namespace {

// An output file in memory that can run out of space like a full disk: an append that does not fit
// writes what fits and fails.
class MemoryFile : public OutputFile {
 public:
  struct State {
    std::string content;
    std::size_t capacity = SIZE_MAX;
    bool truncate_fails = false;
    bool closed = false;
  };

  MemoryFile(std::string path, State& state) : path_(std::move(path)), state_(state) {}

  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
    for (std::string_view piece : pieces) {
      std::size_t room = state_.capacity - state_.content.size();
      state_.content.append(piece.substr(0, room));
      if (piece.size() > room) return std::make_error_code(std::errc::no_space_on_device);
    }
    return {};
  }
  std::error_code Truncate(std::uint64_t length) override {
    if (state_.truncate_fails) return std::make_error_code(std::errc::io_error);
    state_.content.resize(length);
    return {};
  }
  std::error_code Close() override {
    state_.closed = true;
    return {};
  }
  const std::string& path() const override { return path_; }

 private:
  std::string path_;
  State& state_;
};

// Counts bytes without keeping them, for archives larger than memory.
class CountingFile : public OutputFile {
 public:
  explicit CountingFile(std::uint64_t& size) : size_(size) {}
  std::error_code Append(std::initializer_list<std::string_view> pieces) override {
    for (std::string_view piece : pieces) size_ += piece.size();
    return {};
  }
  std::error_code Truncate(std::uint64_t length) override {
    size_ = length;
    return {};
  }
  std::error_code Close() override { return {}; }
  const std::string& path() const override { return path_; }

 private:
  std::uint64_t& size_;
  std::string path_ = "counted";
};

std::string Text(std::size_t size) {
  std::string text = "From: a@x\r\nSubject: s\r\n\r\n";
  text.resize(size, 'b');
  return text;
}

// Every case runs with the files written on the caller's thread and on a thread of their own: once
// the writer is flushed, every message handed over whole is in the files, or the failure is known,
// either way.
class ArchiveWriterTest : public testing::TestWithParam<ArchiveFiles::Mode> {
 protected:
  ArchiveWriterTest()
      : writer_(std::make_unique<MemoryFile>("/a/out.xmz", data_),
                std::make_unique<MemoryFile>("/a/out.idx", index_), GetParam()) {
    writer_.Start();
  }

  bool Append(std::string_view text, std::int32_t folder_id = 0, double time = 0) {
    bool stop = true;
    writer_.AppendMessage(0, 0, folder_id, text, time, stop);
    return !stop;
  }
  // Appends the texts, then flushes: true when all of them are in the files.
  bool Store(std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts)
      if (!Append(text)) return false;
    writer_.Flush();
    return !writer_.failed();
  }

  MemoryFile::State data_;
  MemoryFile::State index_;
  ArchiveWriter writer_;
};

TEST_P(ArchiveWriterTest, StartWritesTheFirstIndexLine) {
  EXPECT_EQ(index_.content, "0\r\n");
  EXPECT_EQ(data_.content, "");
  EXPECT_EQ(writer_.MessageNumber(), 1);
}

TEST_P(ArchiveWriterTest, BlocksFollowEachOtherBehindTheEnvelope) {
  std::string first = Text(100), second = Text(250);
  ASSERT_TRUE(Append(first, 0, 40533.5));
  ASSERT_TRUE(Append(second, 7, 0));
  writer_.Flush();
  EXPECT_EQ(data_.content,
            "FROM: \r\nRCPT: mailbox\r\n" + first + "FROM: \r\nRCPT: mailbox\r\n" + second);
  EXPECT_EQ(data_.content.size(), 396u);
  EXPECT_EQ(
      index_.content,
      "0\r\n"
      "1\r\nF00000001\r\na@x||s|||\r\n268435456\r\n123\r\n0\r\n 4.05335000000000E+0004\r\n"
      "2\r\nF00000002\r\na@x||s|||\r\n268435463\r\n273\r\n123\r\n 0.00000000000000E+0000\r\n");
  EXPECT_EQ(writer_.MessageNumber(), 3);
}

// Blocks are written several at a time; when they do not all fit, the archive still keeps every
// block that fits with its record, and nothing of the first that does not.
TEST_P(ArchiveWriterTest, FullDiskWhileWritingABlockLeavesTheArchiveAtItsLastWholeRecord) {
  ASSERT_TRUE(Store({Text(100)}));
  const std::string data_one = data_.content, index_one = index_.content;
  ASSERT_TRUE(Store({Text(200)}));
  const std::string data_two = data_.content, index_two = index_.content;
  for (std::size_t room : {0, 50, 222, 223, 300}) {
    data_.content.clear(), index_.content.clear();
    ArchiveWriter writer(std::make_unique<MemoryFile>("/a/out.xmz", data_),
                         std::make_unique<MemoryFile>("/a/out.idx", index_), GetParam());
    writer.Start();
    data_.capacity = data_one.size() + room;  // the second of three fits only from 223 bytes on
    bool stop = true;
    for (const std::string& text : {Text(100), Text(200), Text(300)})
      writer.AppendMessage(0, 0, 0, text, 0, stop);
    writer.Flush();
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.Failure(), "Cannot write file \"/a/out.xmz\". No space left on device");
    EXPECT_EQ(data_.content, room < 223 ? data_one : data_two) << room;
    EXPECT_EQ(index_.content, room < 223 ? index_one : index_two) << room;
    writer.AppendMessage(0, 0, 0, Text(10), 0, stop);
    EXPECT_TRUE(stop);
  }
}

TEST_P(ArchiveWriterTest, FullDiskWhileWritingARecordWithdrawsItsBlockToo) {
  ASSERT_TRUE(Store({Text(100)}));
  const std::string data_before = data_.content, index_before = index_.content;
  index_.capacity = index_.content.size() + 10;  // the next record does not fit
  EXPECT_FALSE(Store({Text(100), Text(100)}));
  EXPECT_EQ(data_.content, data_before);
  EXPECT_EQ(index_.content, index_before);
  EXPECT_EQ(writer_.Failure(), "Cannot write file \"/a/out.idx\". No space left on device");
}

TEST_P(ArchiveWriterTest, AfterAFailureEveryMessageIsRefused) {
  data_.capacity = 0;
  EXPECT_FALSE(Store({Text(100)}));
  data_.capacity = SIZE_MAX;  // space again: the writer still refuses, the run is over
  EXPECT_FALSE(Append(Text(100)));
  writer_.Flush();
  EXPECT_EQ(data_.content, "");
  EXPECT_EQ(index_.content, "0\r\n");
}

TEST_P(ArchiveWriterTest, AFailedCutBackIsPartOfTheReport) {
  data_.capacity = 30;
  data_.truncate_fails = true;
  EXPECT_FALSE(Store({Text(100)}));
  EXPECT_NE(writer_.Failure().find("could not be cut back"), std::string::npos)
      << writer_.Failure();
}

TEST_P(ArchiveWriterTest, SummaryComesFromTheMessageHeaderOnly) {
  ASSERT_TRUE(Store({"From: ann@x.org\r\nTo: bob@y.org\r\nSubject: Hi\r\n\r\nFrom: body@z\r\n"}));
  EXPECT_NE(index_.content.find("\r\nann@x.org|bob@y.org|Hi|||\r\n"), std::string::npos)
      << index_.content;
}

// The writer reads the summary from the message text alone; a parse of the whole block, envelope
// included, must give the same three values.
TEST_P(ArchiveWriterTest, SummaryEqualsThatOfTheWholeBlock) {
  const std::string texts[] = {" folded\r\nFrom: x@y\r\nTo: a@b\r\n\r\n",
                               "\r\nFrom: x@y\r\n\r\n",
                               "no colon\r\nFrom: Ann <x@y>\r\nSubject: s\r\n\r\n",
                               "From x@y Mon\r\nFrom: x@y\r\n\r\n",
                               "To: \r\n\tq@r\r\n\r\n",
                               ""};
  for (const std::string& text : texts) {
    index_.content.clear();
    ASSERT_TRUE(Store({text}));
    mime::TMimeIndexSummary whole = mime::ReadIndexSummary(std::string(kEnvelope) + text);
    std::string line = IndexSummaryLine(whole.From, whole.To, whole.Subject);
    EXPECT_NE(index_.content.find("\r\n" + line + "\r\n"), std::string::npos) << text;
  }
}

// A text written in pieces of many sizes, which may break off or throw after a number of bytes.
class PiecesText final : public import_session::MessageText {
 public:
  enum class End { kWhole, kBreaksOff, kThrows };
  PiecesText(std::string text, End end, std::size_t end_at = 0)
      : text_(std::move(text)), end_(end), end_at_(end_at) {}
  std::string_view Header() const override { return std::string_view(text_).substr(0, 40); }

 protected:
  std::int32_t Produce(import_session::MessageTextSink& sink) override {
    std::size_t at = 0;
    for (std::size_t piece = 1; at < text_.size(); piece = piece * 7 % 100003 + 1) {
      if (end_ != End::kWhole && at >= end_at_) {
        if (end_ == End::kThrows) throw std::bad_alloc();
        return -5;
      }
      const std::size_t n = std::min(piece, text_.size() - at);
      sink.Write(std::string_view(text_).substr(at, n));
      at += n;
    }
    return 0;
  }

 private:
  std::string text_;
  End end_;
  std::size_t end_at_;
};

TEST_P(ArchiveWriterTest, TextWrittenInPiecesLandsAsOneBlock) {
  const std::string text = Text(1'000'000);
  PiecesText pieces(text, PiecesText::End::kWhole);
  bool stop = true;
  writer_.AppendMessage(0, 0, 0, pieces, 0, stop);
  EXPECT_FALSE(stop);
  writer_.Flush();
  EXPECT_EQ(data_.content, std::string(kEnvelope) + text);
  EXPECT_NE(index_.content.find("\r\n1000023\r\n0\r\n"), std::string::npos) << index_.content;
}

// Bytes of a text that breaks off, or whose writing throws, have already reached the file: they
// are withdrawn, no record is written, and the archive goes on with the next message.
// Withdrawn within the chunk being filled, or after chunks of it were written.
TEST_P(ArchiveWriterTest, TextThatBreaksOffOrThrowsIsWithdrawnAndTheArchiveGoesOn) {
  ASSERT_TRUE(Store({Text(100)}));
  const std::string data_before = data_.content, index_before = index_.content;
  PiecesText breaks(Text(2'000'000), PiecesText::End::kBreaksOff, 1'500'000);
  bool stop = true;
  writer_.AppendMessage(0, 0, 0, breaks, 0, stop);
  EXPECT_FALSE(stop);
  EXPECT_EQ(breaks.Failure(), -5);
  writer_.Flush();
  EXPECT_EQ(data_.content, data_before);
  EXPECT_EQ(index_.content, index_before);

  PiecesText throws(Text(2'000'000), PiecesText::End::kThrows, 700'000);
  EXPECT_THROW(writer_.AppendMessage(0, 0, 0, throws, 0, stop), std::bad_alloc);
  PiecesText breaks_early(Text(100'000), PiecesText::End::kBreaksOff, 20'000);
  writer_.AppendMessage(0, 0, 0, breaks_early, 0, stop);
  writer_.Flush();
  EXPECT_EQ(data_.content, data_before);
  EXPECT_FALSE(writer_.failed());

  ASSERT_TRUE(Store({Text(50)}));
  EXPECT_EQ(data_.content, data_before + std::string(kEnvelope) + Text(50));
  EXPECT_NE(index_.content.find("2\r\nF00000002\r\na@x||s|||\r\n268435456\r\n73\r\n123\r\n"),
            std::string::npos)
      << index_.content;
}

TEST_P(ArchiveWriterTest, FullDiskPartWayThroughAStreamedTextStopsTheArchive) {
  ASSERT_TRUE(Store({Text(100)}));
  const std::string data_before = data_.content, index_before = index_.content;
  data_.capacity = data_.content.size() + 600'000;
  PiecesText pieces(Text(2'000'000), PiecesText::End::kWhole);
  bool stop = false;
  writer_.AppendMessage(0, 0, 0, pieces, 0, stop);
  writer_.Flush();
  EXPECT_EQ(data_.content, data_before);
  EXPECT_EQ(index_.content, index_before);
  EXPECT_EQ(writer_.Failure(), "Cannot write file \"/a/out.xmz\". No space left on device");
  EXPECT_FALSE(Append(Text(10)));
}

TEST_P(ArchiveWriterTest, CloseClosesBothFiles) {
  writer_.CloseIndex();
  EXPECT_TRUE(index_.closed);
  EXPECT_FALSE(data_.closed);
  writer_.CloseData();
  EXPECT_TRUE(data_.closed);
}

INSTANTIATE_TEST_SUITE_P(BothThreads, ArchiveWriterTest,
                         testing::Values(ArchiveFiles::Mode::kCallersThread,
                                         ArchiveFiles::Mode::kOwnThread),
                         [](const testing::TestParamInfo<ArchiveFiles::Mode>& info) {
                           return info.param == ArchiveFiles::Mode::kOwnThread
                                      ? std::string("OwnThread")
                                      : std::string("CallersThread");
                         });

TEST(ArchiveWriterLarge, OffsetsGoBeyondFourGigabytes) {
  std::uint64_t data_size = 0;
  MemoryFile::State index;
  ArchiveWriter writer(std::make_unique<CountingFile>(data_size),
                       std::make_unique<MemoryFile>("i", index), ArchiveFiles::Mode::kOwnThread);
  writer.Start();
  const std::string text = Text(std::size_t{64} << 20);
  bool stop = true;
  for (int i = 0; i < 65; ++i) writer.AppendMessage(0, 0, 0, text, 0, stop);
  ASSERT_FALSE(stop);
  writer.Flush();
  const std::uint64_t block = text.size() + kEnvelope.size();
  EXPECT_EQ(data_size, 65 * block);
  std::string last_offset = "\r\n" + std::to_string(64 * block) + "\r\n";
  EXPECT_GT(64 * block, std::uint64_t{1} << 32);
  EXPECT_NE(index.content.find(last_offset), std::string::npos);
}

}  // namespace
}  // namespace driver
