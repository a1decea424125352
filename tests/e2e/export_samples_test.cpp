// The whole program on every real sample file: the number of exported messages equals the
// "exported" column of the samples' README, and damaged files or files that are not
// personal-folders files are refused with a message naming them and exit code 1.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/e2e/program_run.h"

namespace e2e_test {
namespace {

struct SampleRow {
  std::string file;
  std::string exported;  // a count, or "—" for a file that must be refused
  std::string password;  // from "password `...`" in the description
};

std::vector<SampleRow> ReadSampleTable(const std::string& readme) {
  std::vector<SampleRow> rows;
  std::ifstream in(readme);
  std::string line;
  const std::regex row(R"(^\| ([^ |]+\.(pst|ost)) \| [^|]* \| *([^ |]+) *\| (.*)\|$)");
  const std::regex password("password `([^`]+)`");
  while (std::getline(in, line)) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) continue;
    SampleRow sample{m[1], m[3], ""};
    const std::string what = m[4];
    std::smatch p;
    if (std::regex_search(what, p, password)) sample.password = p[1];
    rows.push_back(sample);
  }
  return rows;
}

class SampleExport : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(PST2XMZ_SAMPLES_DIR)) GTEST_SKIP() << "no sample files";
    rows_ = ReadSampleTable(std::string(PST2XMZ_SAMPLES_DIR) + "/README.md");
    ASSERT_GE(rows_.size(), 25u);
  }
  std::vector<SampleRow> rows_;
};

TEST_F(SampleExport, ExportedCountsMatchTheReadme) {
  const TempDir temp;
  const std::string& dir = temp.path();
  for (const SampleRow& sample : rows_) {
    if (sample.exported == "—") continue;
    const std::string out = dir + "/" + sample.file.substr(0, sample.file.rfind('.'));
    const ProcessOutput run =
        RunProgram({"-s", std::string(PST2XMZ_SAMPLES_DIR) + "/" + sample.file, "-d", out},
                   {{"PST2XMZ_PST_PASSWORD", sample.password}});
    EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 3) << sample.file << "\n" << run.out;
    EXPECT_NE(run.out.find("Completed import"), std::string::npos) << sample.file;
    const Index index = ReadIndex(out + ".idx");
    ASSERT_TRUE(index.ok) << sample.file;
    EXPECT_EQ(std::to_string(index.records.size()), sample.exported) << sample.file << "\n"
                                                                     << run.out;
  }
}

TEST_F(SampleExport, DamagedAndForeignFilesAreRefusedWithAClearMessage) {
  const TempDir temp;
  const std::string& dir = temp.path();
  int refused = 0;
  for (const SampleRow& sample : rows_) {
    if (sample.exported != "—") continue;
    const std::string path = std::string(PST2XMZ_SAMPLES_DIR) + "/" + sample.file;
    const ProcessOutput run = RunProgram({"-s", path, "-d", dir + "/out"});
    EXPECT_EQ(run.exit_code, 1) << sample.file << "\n" << run.out;
    EXPECT_NE(run.out.find("Cannot export \"" + path + "\": "), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.find("damaged") != std::string::npos ||
                run.out.find("not a personal-folders file") != std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("Completed import"), std::string::npos) << sample.file;
    ++refused;
  }
  EXPECT_EQ(refused, 3);
}

TEST_F(SampleExport, PasswordProtectedSampleWithoutItsPasswordIsRefused) {
  const TempDir temp;
  const std::string& dir = temp.path();
  const std::string path = std::string(PST2XMZ_SAMPLES_DIR) + "/aspose-password.pst";
  const ProcessOutput run =
      RunProgram({"-s", path, "-d", dir + "/out"}, {{"PST2XMZ_PST_PASSWORD", ""}});
  EXPECT_EQ(run.exit_code, 1) << run.out;
  EXPECT_NE(run.out.find("the file is password-protected"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace e2e_test
