// Reference counting, interface queries, type information and per-object id maps of TDispatchBase.
#include <gtest/gtest.h>

#include "support/dispatch/dispatch_base.h"

namespace {

class TTracked : public dispatch::TDispatchBase {
 public:
  TTracked(bool counted, bool* destroyed) : TDispatchBase(counted), destroyed_(destroyed) {}
  ~TTracked() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST(DispatchReferences, UncountedObjectsAnswerMinusOneAndLive) {
  bool destroyed = false;
  TTracked object(false, &destroyed);
  EXPECT_EQ(object.AddRef(), -1);
  EXPECT_EQ(object.Release(), -1);
  EXPECT_EQ(object.Release(), -1);
  EXPECT_FALSE(destroyed);
}

TEST(DispatchReferences, CountedObjectEndsWithTheLastRelease) {
  bool destroyed = false;
  auto* object = new TTracked(true, &destroyed);
  void* interface = nullptr;
  ASSERT_EQ(object->QueryInterface(dispatch::IID_IDispatch, &interface), dispatch::S_OK);
  EXPECT_EQ(interface, static_cast<dispatch::IDispatchLike*>(object));
  EXPECT_EQ(object->AddRef(), 2);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(static_cast<dispatch::IDispatchLike*>(interface)->Release(), 0);
  EXPECT_TRUE(destroyed);
}

TEST(DispatchInterfaces, UnknownAndDispatchOnly) {
  bool destroyed = false;
  TTracked object(false, &destroyed);
  void* interface = nullptr;
  EXPECT_EQ(object.QueryInterface(dispatch::IID_IUnknown, &interface), dispatch::S_OK);
  EXPECT_NE(interface, nullptr);
  const dispatch::IID other = {1, 2, 3};
  interface = &object;
  EXPECT_EQ(object.QueryInterface(other, &interface), static_cast<dispatch::HRESULT>(0x80004002));
  EXPECT_EQ(interface, nullptr);
  EXPECT_EQ(object.QueryInterface(dispatch::IID_IDispatch, nullptr), dispatch::E_POINTER);
}

TEST(DispatchTypeInfo, NoneIsOffered) {
  dispatch::TDispatchBase object;
  std::uint32_t count = 99;
  EXPECT_EQ(object.GetTypeInfoCount(&count), dispatch::S_OK);
  EXPECT_EQ(count, 0u);
  void* info = &object;
  EXPECT_EQ(object.GetTypeInfo(0, 0, &info), static_cast<dispatch::HRESULT>(0x8002000B));
  EXPECT_EQ(info, nullptr);
}

TEST(DispatchIdMapTest, GrowsAndFindsIgnoringAsciiCase) {
  dispatch::TDispatchIdMap map;
  EXPECT_EQ(map.IdOf("FromAddress"), 0);
  EXPECT_EQ(map.IdOf("ToList"), 1);
  EXPECT_EQ(map.IdOf("FROMADDRESS"), 0);
  EXPECT_EQ(map.Count(), 2u);
  EXPECT_EQ(map.Find("tolist"), 1);
  EXPECT_FALSE(map.Find("Subject").has_value());
  ASSERT_NE(map.NameOf(1), nullptr);
  EXPECT_EQ(*map.NameOf(1), "ToList");
  EXPECT_EQ(map.NameOf(2), nullptr);
  EXPECT_EQ(map.NameOf(-1), nullptr);
  // Only ASCII letters fold: "É" and "é" stay different names.
  EXPECT_NE(map.IdOf("\xC3\x89t\xC3\xA9"), map.IdOf("\xC3\xA9t\xC3\xA9"));
}

TEST(DispatchIdMapTest, ACopiedObjectStartsWithItsOwnMap) {
  dispatch::TDispatchBase original;
  const std::u16string names[] = {u"A", u"B"};
  dispatch::DISPID ids[2];
  original.GetIDsOfNames(dispatch::IID_NULL, names, 0, ids);
  dispatch::TDispatchBase copy(original);
  EXPECT_EQ(copy.IdMap().Count(), 0u);
  EXPECT_EQ(original.IdMap().Count(), 2u);
}

TEST(DispatchIdMapTest, TooFewIdSlotsAreRefused) {
  dispatch::TDispatchBase object;
  const std::u16string names[] = {u"A", u"B"};
  dispatch::DISPID id;
  EXPECT_EQ(object.GetIDsOfNames(dispatch::IID_NULL, names, 0, {&id, 1}), dispatch::E_INVALIDARG);
  EXPECT_EQ(object.IdMap().Count(), 0u);
}

}  // namespace
