// The declarations' binary contract: record layouts the library and the program must share, tag
// arithmetic, and status-code classes.
#include "libs/mapi/mapi.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

// Records whose layout is fixed by the interface, on 32-bit and 64-bit platforms alike.
static_assert(sizeof(ULONG) == 4 && sizeof(LONG) == 4 && sizeof(SCODE) == 4);
static_assert(sizeof(GUID) == 16 && sizeof(MAPIUID) == 16);
static_assert(sizeof(FILETIME) == 8 && sizeof(CURRENCY) == 8 && sizeof(LARGE_INTEGER) == 8);
static_assert(offsetof(SPropValue, ulPropTag) == 0);
static_assert(offsetof(SPropValue, Value) == 8);
static_assert(sizeof(PV) == 2 * sizeof(void*) || sizeof(PV) == 8);
static_assert(offsetof(SBinary, lpb) == sizeof(void*));
static_assert(offsetof(SRow, lpProps) == 8);
static_assert(offsetof(SRowSet, aRow) == sizeof(void*));
static_assert(CbNewSPropTagArray(0) == 4 && CbNewSPropTagArray(9) == 40);
static_assert(CbNewSRowSet(2) == offsetof(SRowSet, aRow) + 2 * sizeof(SRow));

TEST(PropertyTagTest, TagSplitsIntoIdAndType) {
  EXPECT_EQ(PROP_TAG(PT_BINARY, 0x0FFF), PR_ENTRYID);
  EXPECT_EQ(PROP_ID(PR_ATTACH_DATA_OBJ), 0x3701u);
  EXPECT_EQ(PROP_TYPE(PR_ATTACH_DATA_OBJ), PT_OBJECT);
  EXPECT_EQ(CHANGE_PROP_TYPE(PR_ATTACH_DATA_BIN, PT_OBJECT), PR_ATTACH_DATA_OBJ);
  EXPECT_EQ(CHANGE_PROP_TYPE(PR_SUBJECT, PT_ERROR), 0x0037000Au);
  EXPECT_EQ(PROP_TYPE(PR_ATTACH_CONTENT_ID_W), PT_UNICODE);
  EXPECT_EQ(kValidatedInboxEntryIdTag, 0x00000102u);
}

TEST(PropertyTagTest, MultiValuedTypesCarryTheFlag) {
  EXPECT_EQ(PT_MV_STRING8, 0x101Eu);
  EXPECT_EQ(PT_MV_BINARY & ~MV_FLAG, PT_BINARY);
}

TEST(StatusCodeTest, WarningsSucceedAndErrorsFail) {
  EXPECT_TRUE(SUCCEEDED(S_OK));
  EXPECT_TRUE(SUCCEEDED(MAPI_W_ERRORS_RETURNED));
  EXPECT_EQ(static_cast<std::uint32_t>(MAPI_W_ERRORS_RETURNED), 0x00040380u);
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_TRUE(FAILED(MAPI_E_NOT_FOUND));
  EXPECT_EQ(static_cast<std::uint32_t>(MAPI_E_NOT_FOUND), 0x8004010Fu);
  EXPECT_EQ(static_cast<std::uint32_t>(MAPI_E_CORRUPT_DATA), 0x8004011Bu);
}

TEST(InterfaceIdTest, IdsDifferByTheirFirstField) {
  EXPECT_EQ(IID_IMAPIFolder.Data1, 0x0002030Cu);
  EXPECT_EQ(IID_IMAPIFolder.Data4[0], 0xC0);
  EXPECT_EQ(IID_IMAPIFolder.Data4[7], 0x46);
  EXPECT_TRUE(IID_IMessage == IID_IMessage);
  EXPECT_FALSE(IID_IMessage == IID_IAttachment);
  EXPECT_FALSE(IID_IStream == IID_ISequentialStream);
}

}  // namespace
