// Late-bound access to published members: ids of names, property read and write, method calls with
// their argument packing, and the status codes of unknown members and raised errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/diag/error.h"
#include "support/dispatch/dispatch_base.h"

namespace {

using dispatch::DISPATCH_METHOD;
using dispatch::DISPATCH_PROPERTYGET;
using dispatch::DISPATCH_PROPERTYPUT;
using dispatch::DISPID;
using dispatch::DISPPARAMS;
using dispatch::EXCEPINFO;
using dispatch::HRESULT;
using dispatch::TVariant;

class TPart : public dispatch::TDispatchBase {
 public:
  std::string name = "part";

  static const dispatch::TPublishedMembers& Published() {
    static const auto members =
        dispatch::TPublishedMembers::For<TPart>(&dispatch::TDispatchBase::Published())
            .Property("Name", [](TPart& p) { return p.name; })
            .Build();
    return members;
  }
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
};

class TItem : public dispatch::TDispatchBase {
 public:
  std::string subject = "Hello";
  int size = 42;
  std::unique_ptr<TPart> body = std::make_unique<TPart>();
  TPart* attachment = nullptr;
  TVariant last_args;

  static const dispatch::TPublishedMembers& Published() {
    static const auto members =
        dispatch::TPublishedMembers::For<TItem>(&dispatch::TDispatchBase::Published())
            .Property(
                "Subject", [](TItem& i) { return i.subject; },
                [](TItem& i, const TVariant& v) { i.subject = v.ToString(); })
            .Property("Size", [](TItem& i) { return i.size; })
            .Property("Body", [](TItem& i) { return i.body.get(); })
            .Property("Attachment", [](TItem& i) { return i.attachment; })
            .Method("Remember",
                    [](TItem& i, const TVariant& args, TVariant& result) {
                      i.last_args = args;
                      result = TVariant(7);
                    })
            .Method("Fail",
                    [](TItem&, const TVariant&) -> int { throw diag::EPlError("no such part"); })
            .Build();
    return members;
  }
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
};

// A class that publishes only a method and inherits the rest.
class TSpecialItem : public TItem {
 public:
  static const dispatch::TPublishedMembers& Published() {
    static const auto members =
        dispatch::TPublishedMembers::For<TSpecialItem>(&TItem::Published())
            .Method("Special", [](TSpecialItem&, const TVariant&) { return std::string("yes"); })
            .Build();
    return members;
  }
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
};

DISPID IdOf(dispatch::TDispatchBase& object, const std::u16string& name) {
  DISPID id = -1;
  const std::u16string names[] = {name};
  EXPECT_EQ(object.GetIDsOfNames(dispatch::IID_NULL, names, 0, {&id, 1}), dispatch::S_OK);
  return id;
}

HRESULT Call(dispatch::TDispatchBase& object, const std::u16string& name, dispatch::WORD flags,
             std::vector<TVariant> args_last_first, TVariant* result,
             EXCEPINFO* excep_info = nullptr) {
  DISPPARAMS params;
  params.rgvarg = std::move(args_last_first);
  return object.Invoke(IdOf(object, name), dispatch::IID_NULL, 0, flags, params, result, excep_info,
                       nullptr);
}

TEST(DispatchIds, NamesDifferingOnlyInCaseShareAnId) {
  TItem item;
  const std::u16string names[] = {u"Subject", u"subject", u"Body"};
  DISPID ids[3] = {-1, -1, -1};
  ASSERT_EQ(item.GetIDsOfNames(dispatch::IID_NULL, names, 0, ids), dispatch::S_OK);
  EXPECT_EQ(ids[0], 0);
  EXPECT_EQ(ids[1], 0);
  EXPECT_EQ(ids[2], 1);
}

TEST(DispatchIds, UnknownNameGetsAnIdAndFailsOnlyWhenUsed) {
  TItem item;
  EXPECT_EQ(IdOf(item, u"Nonsense"), 0);
  TVariant result;
  EXPECT_EQ(Call(item, u"Nonsense", DISPATCH_PROPERTYGET, {}, &result),
            dispatch::DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(item, u"Nonsense", DISPATCH_METHOD, {}, &result), dispatch::DISP_E_MEMBERNOTFOUND);
}

TEST(DispatchIds, IdsDependOnTheOrderEachObjectWasAsked) {
  TItem first, second;
  EXPECT_EQ(IdOf(first, u"Subject"), 0);
  EXPECT_EQ(IdOf(first, u"Body"), 1);
  EXPECT_EQ(IdOf(second, u"Body"), 0);
  EXPECT_EQ(IdOf(second, u"Subject"), 1);
}

TEST(DispatchInvoke, IdOutsideTheMapIsMemberNotFound) {
  TItem item;
  IdOf(item, u"Subject");
  IdOf(item, u"Body");
  DISPPARAMS params;
  TVariant result;
  EXPECT_EQ(item.Invoke(5, dispatch::IID_NULL, 0, DISPATCH_PROPERTYGET, params, &result, nullptr,
                        nullptr),
            static_cast<HRESULT>(0x80020003));
  EXPECT_EQ(
      item.Invoke(-1, dispatch::IID_NULL, 0, DISPATCH_METHOD, params, &result, nullptr, nullptr),
      static_cast<HRESULT>(0x80020003));
}

TEST(DispatchInvoke, StringPropertyReadsAsWideString) {
  TItem item;
  item.subject = "Grüße";
  TVariant result;
  ASSERT_EQ(Call(item, u"SUBJECT", DISPATCH_PROPERTYGET, {}, &result), dispatch::S_OK);
  EXPECT_EQ(result.vt(), dispatch::VT_BSTR);
  EXPECT_EQ(result.ToWide(), u"Grüße");
}

TEST(DispatchInvoke, ObjectPropertyReadsAsTheChildsDispatch) {
  TItem item;
  TVariant result;
  ASSERT_EQ(Call(item, u"Body", DISPATCH_PROPERTYGET, {}, &result), dispatch::S_OK);
  ASSERT_EQ(result.vt(), dispatch::VT_DISPATCH);
  EXPECT_EQ(result.ToDispatch(), static_cast<dispatch::IDispatchLike*>(item.body.get()));
  // The child answers in turn.
  auto* child = static_cast<TPart*>(result.ToDispatch());
  TVariant name;
  ASSERT_EQ(Call(*child, u"name", DISPATCH_PROPERTYGET, {}, &name), dispatch::S_OK);
  EXPECT_EQ(name.ToString(), "part");
}

TEST(DispatchInvoke, NullObjectPropertyIsMemberNotFound) {
  TItem item;
  TVariant result;
  EXPECT_EQ(Call(item, u"Attachment", DISPATCH_PROPERTYGET, {}, &result),
            dispatch::DISP_E_MEMBERNOTFOUND);
}

TEST(DispatchInvoke, PropertyWriteTakesTheValueAtPositionZero) {
  TItem item;
  ASSERT_EQ(Call(item, u"subject", DISPATCH_PROPERTYPUT, {TVariant(u"New")}, nullptr),
            dispatch::S_OK);
  EXPECT_EQ(item.subject, "New");
}

TEST(DispatchInvoke, WritingAReadOnlyPropertyIsMemberNotFound) {
  TItem item;
  EXPECT_EQ(Call(item, u"Size", DISPATCH_PROPERTYPUT, {TVariant(1)}, nullptr),
            dispatch::DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(item.size, 42);
}

TEST(DispatchInvoke, PropertyWriteWithoutValueIsRefused) {
  TItem item;
  EXPECT_EQ(Call(item, u"Subject", DISPATCH_PROPERTYPUT, {}, nullptr),
            dispatch::DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(item.subject, "Hello");
}

TEST(DispatchInvoke, MethodWithoutArgumentsGetsAnEmptyValue) {
  TItem item;
  item.last_args = TVariant(99);
  TVariant result;
  ASSERT_EQ(Call(item, u"Remember", DISPATCH_METHOD, {}, &result), dispatch::S_OK);
  EXPECT_TRUE(item.last_args.IsEmpty());
  EXPECT_EQ(result.ToInt(), 7);
}

TEST(DispatchInvoke, MethodWithOneArgumentGetsThatValue) {
  TItem item;
  TVariant result;
  ASSERT_EQ(Call(item, u"Remember", DISPATCH_METHOD, {TVariant(u"only")}, &result), dispatch::S_OK);
  EXPECT_EQ(item.last_args.vt(), dispatch::VT_BSTR);
  EXPECT_EQ(item.last_args.ToString(), "only");
}

TEST(DispatchInvoke, MethodWithThreeArgumentsGetsThemInCallersOrder) {
  TItem item;
  TVariant result;
  // rgvarg is last-first: the caller wrote Remember(1, "two", 3.5).
  ASSERT_EQ(Call(item, u"Remember", DISPATCH_METHOD, {TVariant(3.5), TVariant(u"two"), TVariant(1)},
                 &result),
            dispatch::S_OK);
  ASSERT_TRUE(item.last_args.IsArray());
  ASSERT_EQ(item.last_args.Count(), 3u);
  EXPECT_EQ(item.last_args[0].ToInt(), 1);
  EXPECT_EQ(item.last_args[1].ToString(), "two");
  EXPECT_EQ(item.last_args[2].ToDouble(), 3.5);
}

TEST(DispatchInvoke, ReadOrCallFallsBackToTheMethodWhenNoPropertyHasTheName) {
  TItem item;
  TVariant result;
  ASSERT_EQ(Call(item, u"Remember", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result),
            dispatch::S_OK);
  EXPECT_EQ(result.ToInt(), 7);
  // and a property wins when it exists
  ASSERT_EQ(Call(item, u"Size", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result),
            dispatch::S_OK);
  EXPECT_EQ(result.ToInt(), 42);
}

TEST(DispatchInvoke, PropertyIsNotCallableAsMethodAlone) {
  TItem item;
  TVariant result;
  EXPECT_EQ(Call(item, u"Size", DISPATCH_METHOD, {}, &result), dispatch::DISP_E_MEMBERNOTFOUND);
}

TEST(DispatchInvoke, RaisedErrorBecomesExceptionWithItsMessage) {
  TItem item;
  TVariant result;
  EXCEPINFO info;
  EXPECT_EQ(Call(item, u"Fail", DISPATCH_METHOD, {}, &result, &info),
            static_cast<HRESULT>(0x80020009));
  EXPECT_EQ(info.wCode, 1);
  EXPECT_EQ(info.bstrDescription, u"no such part");
}

TEST(DispatchInvoke, BadValueInSetterBecomesException) {
  class TCounter : public dispatch::TDispatchBase {
   public:
    int count = 0;
    static const dispatch::TPublishedMembers& Published() {
      static const auto members =
          dispatch::TPublishedMembers::For<TCounter>(&dispatch::TDispatchBase::Published())
              .Property(
                  "Count", [](TCounter& c) { return c.count; },
                  [](TCounter& c, const TVariant& v) { c.count = v.ToInt(); })
              .Build();
      return members;
    }
    const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
  } counter;
  EXCEPINFO info;
  EXPECT_EQ(Call(counter, u"Count", DISPATCH_PROPERTYPUT, {TVariant(u"many")}, nullptr, &info),
            dispatch::DISP_E_EXCEPTION);
  EXPECT_FALSE(info.bstrDescription.empty());
  EXPECT_EQ(Call(counter, u"Count", DISPATCH_PROPERTYPUT, {TVariant(u"12")}, nullptr),
            dispatch::S_OK);
  EXPECT_EQ(counter.count, 12);
}

TEST(DispatchInvoke, OtherExceptionsPassThrough) {
  class TBroken : public dispatch::TDispatchBase {
   public:
    static const dispatch::TPublishedMembers& Published() {
      static const auto members =
          dispatch::TPublishedMembers::For<TBroken>(&dispatch::TDispatchBase::Published())
              .Method("Boom", [](TBroken&, const TVariant&) -> int { throw std::logic_error("x"); })
              .Build();
      return members;
    }
    const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
  } broken;
  TVariant result;
  EXPECT_THROW(Call(broken, u"Boom", DISPATCH_METHOD, {}, &result), std::logic_error);
}

TEST(DispatchInheritance, DerivedClassReachesAncestorMembersAndItsOwn) {
  TSpecialItem item;
  TVariant result;
  ASSERT_EQ(Call(item, u"subject", DISPATCH_PROPERTYGET, {}, &result), dispatch::S_OK);
  EXPECT_EQ(result.ToString(), "Hello");
  ASSERT_EQ(Call(item, u"special", DISPATCH_METHOD, {}, &result), dispatch::S_OK);
  EXPECT_EQ(result.ToString(), "yes");
  // The ancestor does not see the descendant's member.
  TItem plain;
  EXPECT_EQ(Call(plain, u"Special", DISPATCH_METHOD, {}, &result), dispatch::DISP_E_MEMBERNOTFOUND);
}

TEST(DispatchInheritance, UnknownMemberHookAnswersWhatIsNotPublished) {
  class TOpen : public TItem {
   public:
    std::string asked;
    HRESULT InvokeUnknownMember(std::string_view name, dispatch::WORD, DISPPARAMS&,
                                TVariant* result, EXCEPINFO*, std::uint32_t*) override {
      asked = std::string(name);
      if (result != nullptr) *result = TVariant(u"dynamic");
      return dispatch::S_OK;
    }
  } open;
  TVariant result;
  ASSERT_EQ(Call(open, u"Whatever", DISPATCH_PROPERTYGET, {}, &result), dispatch::S_OK);
  EXPECT_EQ(open.asked, "Whatever");
  EXPECT_EQ(result.ToString(), "dynamic");
}

}  // namespace
