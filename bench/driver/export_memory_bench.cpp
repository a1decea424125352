// Peak memory of one export: runs the built program on a file and reports its peak resident size
// beside the largest message block it wrote. Without --pst it first writes a file holding one
// message with a single attachment of --attachment-mb megabytes.
//
//   bench_export_memory --work DIR [--pst FILE | --attachment-mb N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

struct Options {
  std::string work;
  std::string pst;
  std::uint64_t attachment_mb = 500;
};

std::string WriteAttachmentFile(const Options& options) {
  const std::string pst = options.work + "/attachment.pst";
  pstwriter::PstBuilder b(pst);
  const auto inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(pstwriter::SpecialFolder::kInbox, inbox);
  pstwriter::Message m =
      pstwriter::MakeMail("Large attachment", "Ann", "ann@example.org", 1700000000);
  m.recipients.push_back(
      pstwriter::MakeRecipient(pstwriter::tags::kRecipientTo, "Bob", "bob@example.org"));
  m.props.SetString(pstwriter::tags::kBody, "See the attachment.\r\n");
  m.attachments.push_back(pstwriter::MakeFileAttachment(
      "large.bin", std::make_shared<pstwriter::PatternSource>(11, options.attachment_mb << 20)));
  b.AddMessage(inbox, m);
  b.Finish();
  return pst;
}

// The largest block length named by the index (every seventh line from the sixth).
std::uint64_t LargestBlock(const std::string& index_path) {
  std::ifstream in(index_path, std::ios::binary);
  std::string line;
  std::uint64_t largest = 0;
  for (std::uint64_t n = 0; std::getline(in, line); ++n)
    if (n > 0 && (n - 1) % 7 == 4) largest = std::max<std::uint64_t>(largest, std::stoull(line));
  return largest;
}

int Run(const Options& options) {
  const std::string pst = options.pst.empty() ? WriteAttachmentFile(options) : options.pst;
  const std::string program = std::string(PST2XMZ_BIN_DIR) + "/pst2xmz";
  const std::string destination = options.work + "/memory";
  const auto start = std::chrono::steady_clock::now();
  const test_support::ProcessOutput run =
      test_support::RunProcess(program, {"-s", pst, "-d", destination});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("file %s\nexit %d, %.1f s\npeak resident %.1f MB\nlargest block %.1f MB\n",
              pst.c_str(), run.exit_code, seconds, run.peak_resident_kib / 1024.0,
              LargestBlock(destination + ".idx") / 1048576.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--work")
      options.work = argv[i + 1];
    else if (name == "--pst")
      options.pst = argv[i + 1];
    else if (name == "--attachment-mb")
      options.attachment_mb = std::strtoull(argv[i + 1], nullptr, 10);
  }
  if (options.work.empty()) {
    std::fprintf(stderr,
                 "usage: bench_export_memory --work DIR [--pst FILE | --attachment-mb N]\n");
    return 2;
  }
  return Run(options);
}
