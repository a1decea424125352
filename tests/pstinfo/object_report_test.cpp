// The inspector's human reports: one object's properties by node id, rendered by type; the
// attachments of a message; a table node's shape; the header facts and the folder outline.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/pstinfo/test_store.h"

namespace pstinfo_test {
namespace {

bool HasLine(const std::string& text, const std::string& line) {
  const auto lines = Lines(text);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ObjectReport : public PstinfoTest {
 protected:
  // A message carrying one property of each kind the report renders differently.
  pw::MessageId WriteTypedMessage(const std::string& path) {
    pw::PstBuilder b(path);
    const pw::FolderId folder = b.AddFolder(b.ipm_subtree(), "Inbox");
    pw::Message m = pw::MakeMail("typed", "S", "s@example.com", 1700000000);
    pw::Bytes binary(40);
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = std::byte(i);
    m.props.SetBool(0x6601, true)
        .SetInt32(0x6602, -42)
        .SetInt64(0x6603, 1234567890123)
        .SetDouble(0x6604, 2.5)
        .SetBinary(0x6605, binary)
        .SetString(0x6606, "say \"hi\"\n")
        .SetMultiString(0x6607, {"a", "b"})
        .SetGuid(0x6608, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
        .SetInt16(0x6609, 7);
    const pw::MessageId id = b.AddMessage(folder, m);
    b.Finish();
    return id;
  }
};

TEST_F(ObjectReport, EachTypeIsRenderedReadably) {
  const std::string path = dir_ / "typed.pst";
  const pw::MessageId id = WriteTypedMessage(path);
  RunResult r = RunPstinfo({path, Hex(id)});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Lines(r.out).front().rfind("Message " + Hex(id) + ": ", 0), 0u) << r.out;
  for (const char* line : {
           "0x6601000B  PT_BOOLEAN  true",
           "0x66020003  PT_LONG  -42",
           "0x66030014  PT_I8  1234567890123",
           "0x66040005  PT_DOUBLE  2.5",
           "0x66050102  PT_BINARY  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 "
           "15 16 17 18 19 1a 1b 1c 1d 1e 1f ... (40 bytes)",
           "0x6606001F  PT_UNICODE  \"say \\\"hi\\\"\\x0a\"",
           "0x6607101F  PT_MV_UNICODE  2 values [\"a\", \"b\"]",
           "0x66080048  PT_CLSID  {03020100-0504-0706-0809-0a0b0c0d0e0f}",
           "0x66090002  PT_I2  7",
           "0x00390040  PT_SYSTIME  2023-11-14 22:13:20 UTC",
           "0x0037001F  PT_UNICODE  \"typed\"",
       }) {
    EXPECT_TRUE(HasLine(r.out, line)) << line << "\n--- in ---\n" << r.out;
  }
}

TEST_F(ObjectReport, DecimalNodeIdNamesTheSameObject) {
  const std::string path = dir_ / "typed.pst";
  const pw::MessageId id = WriteTypedMessage(path);
  RunResult hex = RunPstinfo({path, Hex(id)});
  RunResult decimal = RunPstinfo({path, std::to_string(id)});
  EXPECT_EQ(decimal.exit_code, 0);
  EXPECT_EQ(decimal.out, hex.out);
}

TEST_F(ObjectReport, MessageListsItsAttachments) {
  TestStore s = WriteTestStore(dir_ / "t.pst", pw::FileFormat::kUnicode);
  RunResult r = RunPstinfo({s.path, Hex(s.inbox_messages[0])});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto lines = Lines(r.out);
  auto at = std::find(lines.begin(), lines.end(), "Attachments: 5");
  ASSERT_NE(at, lines.end()) << r.out;
  ASSERT_EQ(lines.end() - at, 6) << r.out;
  EXPECT_NE(at[1].find("  method 1, 17 bytes, \"a.bin\""), std::string::npos) << at[1];
  EXPECT_NE(at[2].find("  method 2"), std::string::npos) << at[2];
  EXPECT_NE(at[3].find("  method 5"), std::string::npos) << at[3];
  EXPECT_NE(at[4].find("  method 1, 300000 bytes, \"d.bin\""), std::string::npos) << at[4];
  EXPECT_NE(at[5].find("  method 1, 0 bytes, \"empty.bin\""), std::string::npos) << at[5];
}

TEST_F(ObjectReport, FolderAndStoreObjects) {
  TestStore s = WriteTestStore(dir_ / "t.pst", pw::FileFormat::kUnicode);
  RunResult folder = RunPstinfo({s.path, Hex(s.calendar)});
  ASSERT_EQ(folder.exit_code, 0) << folder.err;
  EXPECT_TRUE(HasLine(folder.out, "0x3613001F  PT_UNICODE  \"IPF.Appointment\"")) << folder.out;
  EXPECT_TRUE(HasLine(folder.out, "0x3001001F  PT_UNICODE  \"Kalender \xC3\xA4\"")) << folder.out;
  RunResult store = RunPstinfo({s.path, "0x21"});
  ASSERT_EQ(store.exit_code, 0) << store.err;
  EXPECT_TRUE(HasLine(store.out,
                      "0x0FF90102  PT_BINARY  50 53 54 32 58 4d 5a 00 77 72 69 74 65 "
                      "72 00 01 (16 bytes)"))
      << store.out;
}

TEST_F(ObjectReport, TableNodeShowsRowsAndColumns) {
  TestStore s = WriteTestStore(dir_ / "t.pst", pw::FileFormat::kUnicode);
  const std::uint32_t contents = (s.inbox & ~0x1Fu) | 0x0E;
  RunResult r = RunPstinfo({s.path, Hex(contents)});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Lines(r.out).front().rfind("Table " + Hex(contents) + ": 3 rows, ", 0), 0u) << r.out;
  EXPECT_TRUE(HasLine(r.out, "0x0037001F  PT_UNICODE")) << r.out;
}

class HeaderReport : public PstinfoTest, public ::testing::WithParamInterface<pw::FileFormat> {};

TEST_P(HeaderReport, FactsAndFolderOutline) {
  TestStore s = WriteTestStore(dir_ / "t.pst", GetParam());
  RunResult r = RunPstinfo({s.path});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const bool ansi = GetParam() == pw::FileFormat::kAnsi;
  const bool pages4k = GetParam() == pw::FileFormat::kUnicode4k;
  const std::string format = ansi ? "ANSI" : pages4k ? "Unicode, 4 KiB pages" : "Unicode";
  const std::string version = ansi ? "14" : pages4k ? "36" : "23";
  const std::string size = std::to_string(std::filesystem::file_size(s.path));
  for (const std::string& line : std::vector<std::string>{
           "File:                  " + s.path,
           "Format:                " + format,
           "Encoding:              permute (compressible)",
           "Kind:                  personal folders (SM)",
           "File size:             " + size + " bytes",
           "End of file in header: " + size + " bytes",
           "Inbox:                 " + Hex(s.inbox),
           "Password:              none",
           "      Inbox  [3 messages, IPF.Note, " + Hex(s.inbox) + "]",
           "        Sub folder  [1 messages, IPF.Note, " + Hex(s.sub) + "]",
           "      No class  [0 messages, " + Hex(s.no_class) + "]",
       }) {
    EXPECT_TRUE(HasLine(r.out, line)) << line << "\n--- in ---\n" << r.out;
  }
  EXPECT_NE(r.out.find("Version:               " + version + " "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("messages 6, "), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Variants, HeaderReport,
                         ::testing::Values(pw::FileFormat::kUnicode, pw::FileFormat::kAnsi,
                                           pw::FileFormat::kUnicode4k),
                         VariantName);

}  // namespace
}  // namespace pstinfo_test
