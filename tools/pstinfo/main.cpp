// pstinfo: looks inside a personal-folders file. Exit codes: 0 all printed, 1 the file (or the
// node asked for) could not be read at all or the arguments are wrong, 3 some folders or messages
// were damaged and left out (each is named on standard error).
#include <iostream>
#include <string>
#include <vector>

#include "tools/pstinfo/args.h"
#include "tools/pstinfo/header_report.h"
#include "tools/pstinfo/message_listing.h"
#include "tools/pstinfo/object_report.h"
#include "tools/pstinfo/problem_log.h"
#include "tools/pstinfo/text_format.h"
#include "tools/pstinfo/tree_report.h"

namespace {

using pstinfo::Mode;
using pstinfo::Options;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitDamaged = 3;

int Fail(const std::string& message) {
  std::cerr << "pstinfo: " << message << '\n';
  return kExitFailed;
}

int Run(const Options& options) {
  auto store = pst::messaging::MessageStore::OpenFile(options.file);
  if (!store) return Fail(options.file + ": " + store.status().message());
  pstinfo::ProblemLog problems(std::cerr);
  if (options.mode == Mode::kTree) {
    pstinfo::PrintTreeLines(**store, std::cout, problems);
  } else if (options.mode == Mode::kMessages) {
    pstinfo::PrintMessageLines(**store, std::cout, problems);
  } else if (options.node) {
    pst::Status status = pstinfo::PrintObject(**store, *options.node, std::cout);
    if (!status.ok())
      return Fail("node " + pstinfo::HexId(*options.node) + ": " + status.message());
  } else {
    pstinfo::PrintHeaderReport(**store, options.file, std::cout, problems);
    std::cout << "\nFolders:\n";
    pstinfo::PrintTreeOutline(**store, std::cout, problems);
  }
  std::cout.flush();
  if (!std::cout) return Fail("cannot write the output");
  return problems.count() == 0 ? kExitOk : kExitDamaged;
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed = pstinfo::ParseArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "pstinfo: " << *error << '\n' << pstinfo::kUsage;
    return kExitFailed;
  }
  return Run(std::get<Options>(parsed));
}
