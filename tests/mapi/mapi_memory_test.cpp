// Tag arrays, buffer and row-set release and entry-id copies, against the stand-in library's real
// MAPI memory (its count of live blocks shows leaks and double releases).
#include "libs/mapi/mapi_memory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/mapi/binding_fixture.h"

namespace mapi_test {
namespace {

class MapiMemoryTest : public BindingTest {
 protected:
  MapiMemoryTest() : log_(FreshLogOf(kFullLibrary)) { InstallLibrary(kFullLibrary); }
  ~MapiMemoryTest() override { EXPECT_EQ(log_.live_blocks, 0) << "MAPI memory left behind"; }

  // A row set of rows rows, each with one value, all in MAPI memory.
  LPSRowSet MakeRows(ULONG rows) {
    void* buffer = nullptr;
    EXPECT_EQ(mapi::MAPIAllocateBuffer(static_cast<ULONG>(CbNewSRowSet(rows)), &buffer), S_OK);
    auto* set = static_cast<LPSRowSet>(buffer);
    set->cRows = rows;
    for (ULONG i = 0; i < rows; ++i) {
      void* props = nullptr;
      EXPECT_EQ(mapi::MAPIAllocateBuffer(sizeof(SPropValue), &props), S_OK);
      set->aRow[i] = SRow{0, 1, static_cast<LPSPropValue>(props)};
    }
    return set;
  }

  fake_mapi::Log& log_;
};

TEST_F(MapiMemoryTest, PropTagArrayHoldsTheTagsInOrder) {
  LPSPropTagArray tags = nullptr;
  ASSERT_EQ(mapi::MakePropTagArray({PR_DISPLAY_NAME, PR_ENTRYID, PR_SUBFOLDERS, PR_CONTAINER_CLASS},
                                   &tags),
            S_OK);

  ASSERT_NE(tags, nullptr);
  EXPECT_EQ(log_.last_allocation_size, 4u + 4u * 4u);
  ASSERT_EQ(tags->cValues, 4u);
  const ULONG* written = tags->aulPropTag;  // cValues entries, past the declared one
  EXPECT_EQ(written[0], 0x3001001Eu);
  EXPECT_EQ(written[1], 0x0FFF0102u);
  EXPECT_EQ(written[2], 0x360A000Bu);
  EXPECT_EQ(written[3], 0x3613001Eu);
  EXPECT_EQ(mapi::MapiFreeBuffer(tags), S_OK);
}

TEST_F(MapiMemoryTest, PropTagArrayFromASpan) {
  const std::vector<ULONG> columns = {PR_HASATTACH,    PR_MESSAGE_FLAGS,         PR_SUBJECT,
                                      PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID,
                                      PR_INSTANCE_KEY};
  LPSPropTagArray tags = nullptr;
  ASSERT_EQ(mapi::MakePropTagArray(columns, &tags), S_OK);

  ASSERT_EQ(tags->cValues, 7u);
  const ULONG* written = tags->aulPropTag;  // cValues entries, past the declared one
  EXPECT_EQ(written[6], PR_INSTANCE_KEY);
  mapi::MapiFreeBuffer(tags);
}

TEST_F(MapiMemoryTest, PropTagArrayAllocationFailureLeavesNoArray) {
  log_.allocations_until_failure = 0;
  auto* tags = reinterpret_cast<LPSPropTagArray>(static_cast<std::uintptr_t>(0x10));

  EXPECT_EQ(mapi::MakePropTagArray({PR_ENTRYID}, &tags), MAPI_E_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(tags, nullptr);
}

TEST_F(MapiMemoryTest, FreeBufferReleasesAndClears) {
  void* buffer = nullptr;
  ASSERT_EQ(mapi::MAPIAllocateBuffer(32, &buffer), S_OK);
  auto* typed = static_cast<LPSPropValue>(buffer);

  EXPECT_EQ(mapi::MapiFreeBuffer(typed), S_OK);
  EXPECT_EQ(typed, nullptr);
  EXPECT_EQ(log_.calls[fake_mapi::kFreeBuffer], 1);

  // A second release of the cleared reference does nothing.
  EXPECT_EQ(mapi::MapiFreeBuffer(typed), S_OK);
  EXPECT_EQ(log_.calls[fake_mapi::kFreeBuffer], 1);
}

TEST_F(MapiMemoryTest, FreeRowsReleasesEveryRowAndClears) {
  LPSRowSet rows = MakeRows(3);
  EXPECT_EQ(log_.live_blocks, 4);

  mapi::FreeRows(rows);
  EXPECT_EQ(rows, nullptr);
  EXPECT_EQ(log_.calls[fake_mapi::kFreeProws], 1);

  mapi::FreeRows(rows);
  EXPECT_EQ(log_.calls[fake_mapi::kFreeProws], 1);
}

TEST_F(MapiMemoryTest, OwnersReleaseAtScopeEnd) {
  {
    mapi::RowSetPtr rows(MakeRows(2));
    void* buffer = nullptr;
    ASSERT_EQ(mapi::MAPIAllocateBuffer(8, &buffer), S_OK);
    mapi::MapiBufferPtr<void> owned(buffer);
    EXPECT_EQ(log_.live_blocks, 4);
  }
  EXPECT_EQ(log_.calls[fake_mapi::kFreeProws], 1);
}

TEST_F(MapiMemoryTest, MapiCopyOfEntryIdIsReleasedByOneFree) {
  BYTE bytes[24] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0x22, 0x80};
  const SBinary id{sizeof bytes, bytes};

  LPSBinary copy = mapi::MapiCopyEntryId(id);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->cb, 24u);
  EXPECT_NE(copy->lpb, bytes);
  EXPECT_EQ(std::memcmp(copy->lpb, bytes, sizeof bytes), 0);
  EXPECT_EQ(log_.live_blocks, 2);

  EXPECT_EQ(mapi::MapiFreeBuffer(copy), S_OK);
  EXPECT_EQ(log_.live_blocks, 0);
}

TEST_F(MapiMemoryTest, MapiCopyOfEmptyEntryIdIsNone) {
  BYTE bytes[1] = {7};
  EXPECT_EQ(mapi::MapiCopyEntryId(SBinary{0, bytes}), nullptr);
  EXPECT_EQ(mapi::MapiCopyEntryId(SBinary{4, nullptr}), nullptr);
  EXPECT_EQ(log_.calls[fake_mapi::kAllocateBuffer], 0);
}

TEST_F(MapiMemoryTest, MapiCopyFailingFirstAllocationIsNone) {
  BYTE bytes[4] = {1, 2, 3, 4};
  log_.allocations_until_failure = 0;
  EXPECT_EQ(mapi::MapiCopyEntryId(SBinary{4, bytes}), nullptr);
}

TEST_F(MapiMemoryTest, MapiCopyFailingSecondAllocationReleasesTheRecord) {
  BYTE bytes[4] = {1, 2, 3, 4};
  log_.allocations_until_failure = 1;
  EXPECT_EQ(mapi::MapiCopyEntryId(SBinary{4, bytes}), nullptr);
  EXPECT_EQ(log_.calls[fake_mapi::kAllocateMore], 1);
  // The destructor checks that the record was released again.
}

TEST_F(MapiMemoryTest, OwnCopyOfEntryIdIsIndependentOfTheSource) {
  BYTE bytes[5] = {9, 8, 7, 6, 5};
  mapi::EntryIdCopy copy = mapi::CopyEntryId(SBinary{5, bytes});
  bytes[0] = 0;

  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->cb, 5u);
  EXPECT_EQ(copy->lpb[0], 9);
  EXPECT_EQ(copy->lpb[4], 5);
  EXPECT_EQ(log_.calls[fake_mapi::kAllocateBuffer], 0);  // program memory, not MAPI memory

  mapi::FreeEntryId(copy);
  EXPECT_EQ(copy, nullptr);
  mapi::FreeEntryId(copy);  // none is accepted
}

TEST_F(MapiMemoryTest, OwnCopyOfEmptyEntryIdIsNone) {
  BYTE bytes[1] = {1};
  EXPECT_EQ(mapi::CopyEntryId(SBinary{0, bytes}), nullptr);
  EXPECT_EQ(mapi::CopyEntryId(SBinary{3, nullptr}), nullptr);
}

class MapiMemoryWithoutLibraryTest : public BindingTest {
 protected:
  MapiMemoryWithoutLibraryTest() { registry_.mapix = "0"; }
};

TEST_F(MapiMemoryWithoutLibraryTest, TagArrayFailsWithTheWrappersResult) {
  auto* tags = reinterpret_cast<LPSPropTagArray>(static_cast<std::uintptr_t>(0x10));
  EXPECT_EQ(mapi::MakePropTagArray({PR_ENTRYID}, &tags), E_FAIL);
  EXPECT_EQ(tags, nullptr);
}

TEST_F(MapiMemoryWithoutLibraryTest, FreeBufferReportsTheFailureAndStillClears) {
  int not_mapi_memory = 0;
  int* reference = &not_mapi_memory;
  EXPECT_EQ(mapi::MapiFreeBuffer(reference), E_FAIL);
  EXPECT_EQ(reference, nullptr);
}

TEST_F(MapiMemoryWithoutLibraryTest, MapiCopyIsNone) {
  BYTE bytes[2] = {1, 2};
  EXPECT_EQ(mapi::MapiCopyEntryId(SBinary{2, bytes}), nullptr);
}

}  // namespace
}  // namespace mapi_test
