// The file source under an unkind file system: files that are not regular files are refused without
// waiting, and a file that shrinks or grows after it was opened is read only within the size seen
// at opening, a read past its new end failing as damage.
#include "platform/pst/ndb/file_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace pst::ndb {
namespace {

class FileSourceTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_ / name; }
  test_support::TempDir dir_;
};

TEST_F(FileSourceTest, NonRegularFilesAreRefusedWithoutWaiting) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang here
  auto fifo = FileSource::OpenFile(Path("fifo"));
  ASSERT_FALSE(fifo.ok());
  EXPECT_EQ(fifo.status().code(), ErrorCode::kIo);
  EXPECT_NE(fifo.status().message().find("not a regular file"), std::string::npos);
  auto folder = FileSource::OpenFile(dir_.path());
  ASSERT_FALSE(folder.ok());
  EXPECT_NE(folder.status().message().find("not a regular file"), std::string::npos);
}

TEST_F(FileSourceTest, ReadsStayWithinTheSizeSeenAtOpening) {
  std::ofstream(Path("f"), std::ios::binary) << std::string(1000, 'a');
  auto source = FileSource::OpenFile(Path("f"));
  ASSERT_TRUE(source.ok()) << source.status().message();
  std::byte buffer[100];
  EXPECT_TRUE((*source)->ReadExact(900, buffer).ok());

  std::ofstream(Path("f"), std::ios::binary | std::ios::app) << std::string(1000, 'b');
  EXPECT_EQ((*source)->size(), 1000u);
  EXPECT_EQ((*source)->ReadExact(950, buffer).code(), ErrorCode::kCorrupt);

  ASSERT_EQ(truncate(Path("f").c_str(), 500), 0);
  Status cut = (*source)->ReadExact(450, buffer);
  EXPECT_EQ(cut.code(), ErrorCode::kCorrupt);
  EXPECT_NE(cut.message().find("file ended early"), std::string::npos) << cut.message();
  EXPECT_TRUE((*source)->ReadExact(0, buffer).ok());
}

}  // namespace
}  // namespace pst::ndb
