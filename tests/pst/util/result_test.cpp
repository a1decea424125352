// Result and its early-return macros: values and errors pass through unchanged, move-only values
// included, and a Result can never be failed without an error.
#include "platform/pst/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pst {
namespace {

Result<std::unique_ptr<int>> MakeBox(bool ok) {
  if (!ok) return Status::Corrupt("no box at 0x10");
  return std::make_unique<int>(7);
}

Result<int> Unbox(bool ok) {
  PST_ASSIGN_OR_RETURN(auto box, MakeBox(ok));
  return *box + 1;
}

Result<int> AssignExisting(bool ok) {
  int out = -1;
  PST_ASSIGN_OR_RETURN(out, Unbox(ok));
  PST_ASSIGN_OR_RETURN(out, Unbox(ok));  // a second use in one scope declares nothing twice
  return out;
}

Status CheckBoth(Status first, Result<int> second) {
  PST_RETURN_IF_ERROR(first);
  PST_RETURN_IF_ERROR(second);
  return Status::Ok();
}

TEST(ResultMacros, PassValuesAndReturnTheFirstError) {
  ASSERT_TRUE(Unbox(true).ok());
  EXPECT_EQ(*Unbox(true), 8);
  EXPECT_EQ(*AssignExisting(true), 8);

  const Result<int> failed = AssignExisting(false);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(failed.status().message(), "no box at 0x10");

  EXPECT_TRUE(CheckBoth(Status::Ok(), 3).ok());
  EXPECT_EQ(CheckBoth(Status::Io("read failed"), Status::Corrupt("x")).code(), ErrorCode::kIo);
  EXPECT_EQ(CheckBoth(Status::Ok(), Status::NotFound("gone")).code(), ErrorCode::kNotFound);
}

TEST(ResultStatus, HoldingAValueReportsOk) {
  const Result<std::string> r(std::string("x"));
  EXPECT_TRUE(r.status().ok());
  EXPECT_EQ(*r, "x");
}

// A Result made from an ok Status stops debug builds; elsewhere it still fails with an error, so
// that passing its status on can never look like success.
TEST(ResultStatusDeathTest, OkStatusNeverMakesAnErrorlessFailure) {
  EXPECT_DEBUG_DEATH(
      {
        const Result<int> r(Status::Ok());
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.status().code(), ErrorCode::kCorrupt);
        EXPECT_FALSE(r.status().message().empty());
      },
      "a Result needs a value or an error");
}

}  // namespace
}  // namespace pst
