// The debug trace hands each text to the installed debugger output unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/debug_output.h"
#include "support/diag/debug_trace.h"

namespace {

class CapturingOutput : public os::DebugOutput {
 public:
  std::vector<std::string> texts;
  void Write(std::string_view text) override { texts.emplace_back(text); }
};

TEST(DebugTrace, PassesEachTextUnchanged) {
  CapturingOutput output;
  os::ScopedDebugOutput scoped(output);
  diag::DebugTrace("OpenPST(/tmp/a.pst)");
  diag::DebugTrace("");
  diag::DebugTrace("line\r\nwith breaks");
  const std::vector<std::string> expected = {"OpenPST(/tmp/a.pst)", "", "line\r\nwith breaks"};
  EXPECT_EQ(output.texts, expected);
}

}  // namespace
