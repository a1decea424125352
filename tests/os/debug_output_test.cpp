// The system's debug output writes each text as one line of the file PST2XMZ_TRACE names.
#include <gtest/gtest.h>

#include "platform/os/debug_output.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace {

TEST(DebugOutput, TraceFileGetsOneLinePerText) {
  // The system output reads PST2XMZ_TRACE once, at its first text; no other test here writes to it.
  const test_support::TempDir temp;
  const std::string file = temp / "trace";
  {
    const test_support::ScopedEnvironment trace("PST2XMZ_TRACE", file);
    EXPECT_EQ(os::TraceFilePath(), file);
    os::CurrentDebugOutput().Write("ImportPst(a.pst)");
    os::CurrentDebugOutput().Write("ImportPst finished");
  }
  EXPECT_EQ(os::TraceFilePath(), "");
  EXPECT_EQ(test_support::ReadWholeFile(file), "ImportPst(a.pst)\nImportPst finished\n");
}

}  // namespace
