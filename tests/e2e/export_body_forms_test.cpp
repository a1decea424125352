// The whole program on the writer's body-form messages, in a Unicode file and in an ANSI file with
// code page 1251: every message that holds text in some form gets a text body, every one that holds
// HTML in some form gets its HTML, and no NUL byte reaches the archive.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/e2e/program_run.h"
#include "tools/pstgen/body_forms.h"
#include "tools/pstwriter/pst_builder.h"

namespace e2e_test {
namespace {

struct Form {
  std::string_view subject;
  std::string_view text;  // in the text/plain part; empty: the part is empty
  bool html;
};

const Form kForms[] = {
    {"Form: HTML only, binary", "HTML \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 & more",
     true},
    {"Form: HTML only, string", "HTML \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 & more",
     true},
    {"Form: HTML and plain, no RTF", "Plain text \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.",
     true},
    {"Form: native RTF only", "Plain text \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.",
     false},
    {"Form: RTF encapsulating HTML", "Client \xD0\xB0 HTML with C:\\temp\\{x}", true},
    {"Form: RTF encapsulating text",
     "Path C:\\temp\\file.txt, braces {x},\ttab bold nested\r\n"
     "\xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F end",
     false},
    {"Form: plain only", "Plain text \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.", false},
    {"Form: plain with its terminator",
     "Plain text \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.", false},
    {"Form: none", "", false},
};

class BodyFormExport : public ::testing::TestWithParam<pstwriter::FileFormat> {};

TEST_P(BodyFormExport, EveryFormArrivesAsTextAndHtml) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string file = dir + "/forms.pst";
  {
    pstwriter::PstBuilder builder(file, {.format = GetParam(), .code_page = 1251});
    pstgen::WriteBodyFormStore(builder, 1251);
    builder.Finish();
  }
  const ProcessOutput run = RunProgram({"-s", file, "-d", dir + "/out"});
  ASSERT_EQ(run.exit_code, 0) << run.out;
  const Index index = ReadIndex(dir + "/out.idx");
  ASSERT_TRUE(index.ok);
  ASSERT_EQ(index.records.size(), std::size(kForms));
  const std::string data = ReadWholeFile(dir + "/out.xmz");
  EXPECT_EQ(data.find('\0'), std::string::npos);
  for (const IndexRecord& record : index.records) {
    const std::string block = data.substr(std::stoull(record.offset), std::stoull(record.length));
    const Form* form = nullptr;
    for (const Form& f : kForms) {
      if (block.find("Subject: " + std::string(f.subject) + "\r\n") != std::string::npos) form = &f;
    }
    ASSERT_NE(form, nullptr) << block;
    SCOPED_TRACE(form->subject);
    const std::size_t plain = block.find("Content-Type: text/plain; charset=");
    ASSERT_NE(plain, std::string::npos) << block;
    const std::size_t body = block.find("\r\n\r\n", plain) + 4;
    EXPECT_EQ(block.compare(body, form->text.size(), form->text), 0) << block;
    if (form->text.empty()) {
      EXPECT_EQ(block.size(), body) << block;
    }
    EXPECT_EQ(block.find("Content-Type: text/html") != std::string::npos, form->html) << block;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, BodyFormExport,
                         ::testing::Values(pstwriter::FileFormat::kUnicode,
                                           pstwriter::FileFormat::kAnsi));

}  // namespace
}  // namespace e2e_test
