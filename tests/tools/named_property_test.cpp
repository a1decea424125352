// Named properties: ids from 0x8000 handed out once per name, written to the name-to-id map so
// that the reader finds the same names behind the same ids, by number and by string, in the two
// well-known property sets and in others.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "platform/pst/messaging/message.h"
#include "platform/pst/messaging/named_property_map.h"
#include "tests/tools/writer_test_support.h"
#include "tools/pstwriter/named_property_map.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

using namespace pstwriter;
using test_support::TempDir;
using writer_test::OpenStore;
using writer_test::Utf8;

pst::ltp::Guid ReaderGuid(const Guid& g) {
  pst::ltp::Guid out{};
  for (std::size_t i = 0; i < 16; ++i) out[i] = std::byte{g[i]};
  return out;
}

TEST(NamedProperties, TheSameNameGetsTheSameIdAndOthersTheNext) {
  TempDir dir;
  PstBuilder b(dir / "ids.pst");
  std::uint16_t a = b.NamedPropertyId(kPsetidCommon, 0x8580);
  std::uint16_t s = b.NamedPropertyId(kPsPublicStrings, std::string("Keywords"));
  EXPECT_EQ(a, 0x8000);
  EXPECT_EQ(s, 0x8001);
  EXPECT_EQ(b.NamedPropertyId(kPsetidCommon, 0x8580), a);
  EXPECT_EQ(b.NamedPropertyId(kPsPublicStrings, std::string("Keywords")), s);
  EXPECT_EQ(b.NamedPropertyId(kPsMapi, 0x8580), 0x8002);  // same number, other set
}

TEST(NamedProperties, ReaderFindsTheNamesAndTheValuesBehindThem) {
  TempDir dir;
  std::string path = dir / "named.pst";
  const Guid custom = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  std::uint16_t by_number, by_name, in_custom, in_mapi;
  MessageId message;
  {
    PstBuilder b(path);
    by_number = b.NamedPropertyId(kPsetidCommon, 0x8580);
    by_name = b.NamedPropertyId(kPsPublicStrings, std::string("Schlüsselwörter"));
    in_custom = b.NamedPropertyId(custom, std::string("x-custom-header"));
    in_mapi = b.NamedPropertyId(kPsMapi, 0x1234);
    Message m;
    m.props.SetString(by_number, "account").SetString(by_name, "tag").SetInt32(in_custom, 42);
    message = b.AddMessage(b.ipm_subtree(), m);
    b.Finish();
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  // Two readers asking for the first time at once get the one map.
  std::optional<pst::Result<const pst::messaging::NamedPropertyMap*>> other;
  std::thread second([&] { other.emplace(store->named_properties()); });
  auto map = store->named_properties();
  second.join();
  ASSERT_TRUE(map.ok()) << map.status().message();
  ASSERT_TRUE(other->ok()) << other->status().message();
  EXPECT_EQ(*map, **other);
  const auto& names = **map;
  EXPECT_EQ(names.size(), 4u);
  EXPECT_EQ(names.damaged_entries(), 0u);
  EXPECT_EQ(names.FindId(ReaderGuid(kPsetidCommon), 0x8580u), by_number);
  EXPECT_EQ(names.FindId(ReaderGuid(kPsPublicStrings), "Schlüsselwörter"), by_name);
  EXPECT_EQ(names.FindId(ReaderGuid(custom), "x-custom-header"), in_custom);
  EXPECT_EQ(names.FindId(ReaderGuid(kPsMapi), 0x1234u), in_mapi);
  ASSERT_NE(names.Find(by_name), nullptr);
  EXPECT_EQ(names.Find(by_name)->name, "Schlüsselwörter");

  auto m = store->OpenMessage(message);
  ASSERT_TRUE(m.ok());
  EXPECT_EQ(Utf8(m->properties().Get(by_number)), "account");
  EXPECT_EQ(Utf8(m->properties().Get(by_name)), "tag");
  EXPECT_EQ(*m->properties().Get(in_custom)->AsInt32(), 42);
}

}  // namespace
