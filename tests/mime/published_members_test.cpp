// The model's objects answer automation calls by member name through the dispatch base.
#include <gtest/gtest.h>

#include "mime/mime_message.h"
#include "support/dispatch/wide_text.h"

namespace mime {
namespace {

using dispatch::TVariant;

// Late-bound access as a script client does it: ids of names, then Invoke.
class Script {
 public:
  static TVariant Get(dispatch::IDispatchLike* object, const std::u16string& name) {
    return Call(object, name, dispatch::DISPATCH_PROPERTYGET, {});
  }
  static void Put(dispatch::IDispatchLike* object, const std::u16string& name, TVariant value) {
    Call(object, name, dispatch::DISPATCH_PROPERTYPUT, {std::move(value)});
  }
  // Arguments in the caller's order.
  static TVariant Method(dispatch::IDispatchLike* object, const std::u16string& name,
                         std::vector<TVariant> args) {
    return Call(object, name, dispatch::DISPATCH_METHOD, std::move(args));
  }
  static dispatch::HRESULT Status(dispatch::IDispatchLike* object, const std::u16string& name,
                                  dispatch::WORD flags) {
    dispatch::DISPID id = 0;
    object->GetIDsOfNames(dispatch::IID_NULL, std::span<const std::u16string>(&name, 1), 0,
                          std::span(&id, 1));
    dispatch::DISPPARAMS params;
    TVariant result;
    return object->Invoke(id, dispatch::IID_NULL, 0, flags, params, &result, nullptr, nullptr);
  }

 private:
  static TVariant Call(dispatch::IDispatchLike* object, const std::u16string& name,
                       dispatch::WORD flags, std::vector<TVariant> args) {
    dispatch::DISPID id = 0;
    object->GetIDsOfNames(dispatch::IID_NULL, std::span<const std::u16string>(&name, 1), 0,
                          std::span(&id, 1));
    dispatch::DISPPARAMS params;
    params.rgvarg.assign(args.rbegin(), args.rend());  // last-first
    TVariant result;
    dispatch::EXCEPINFO error;
    dispatch::HRESULT status =
        object->Invoke(id, dispatch::IID_NULL, 0, flags, params, &result, &error, nullptr);
    EXPECT_EQ(status, dispatch::S_OK) << dispatch::WideToUtf8(name);
    return result;
  }
};

TEST(PublishedMembers, ExportPathAccessorsByName) {
  TMimeMessage message;
  Script::Put(&message, u"Text",
              TVariant("From: \"Ann\" <a@x>\r\nTo: b@x, c@x\r\nSubject: Hi\r\n\r\nbody\r\n"));
  dispatch::IDispatchLike* header = Script::Get(&message, u"Header").ToDispatch();
  ASSERT_NE(header, nullptr);
  dispatch::IDispatchLike* from = Script::Get(header, u"FromAddress").ToDispatch();
  EXPECT_EQ(Script::Get(from, u"DisplayText").ToWide(), u"Ann");
  dispatch::IDispatchLike* to = Script::Get(header, u"tolist").ToDispatch();
  EXPECT_EQ(Script::Get(to, u"DisplayList").ToWide(), u"b@x, c@x");
  EXPECT_EQ(Script::Get(to, u"Count").ToInt(), 2);
  EXPECT_EQ(Script::Get(header, u"Subject").ToWide(), u"Hi");
  EXPECT_EQ(Script::Method(&message, u"Crc32", {}).ToInt(),
            static_cast<std::int32_t>(message.Crc32()));
  dispatch::IDispatchLike* type = Script::Get(header, u"ContentType").ToDispatch();
  Script::Put(type, u"Text",
              TVariant("text/plain; charset=utf-8"));  // inherited from the header item
  EXPECT_EQ(Script::Method(type, u"ParamValueByName", {TVariant("charset")}).ToWide(), u"utf-8");
}

TEST(PublishedMembers, MethodsWithSeveralArguments) {
  TMimeMessage message;
  Script::Method(&message, u"AssignPlaintextPart", {TVariant("hello"), TVariant("utf-8")});
  EXPECT_EQ(message.Header().ContentType().GetText(), "text/plain; charset=\"utf-8\"");
  std::vector<TVariant> bytes = {TVariant(std::uint8_t{'a'}), TVariant(std::uint8_t{0}),
                                 TVariant(std::uint8_t{'b'})};
  TVariant part =
      Script::Method(&message, u"AttachBinary",
                     {TVariant::Array(bytes, dispatch::VT_UI1), TVariant("application/x"),
                      TVariant("base64"), TVariant("f.bin"), TVariant("")});
  ASSERT_NE(part.ToDispatch(), nullptr);
  EXPECT_EQ(message.SubParts().Item(1).Body().Lines(), mime::LineList{"YQBi"});
  dispatch::IDispatchLike* header = Script::Get(&message, u"Header").ToDispatch();
  Script::Method(header, u"SetField", {TVariant("X-Test"), TVariant(u"caf\u00e9")});
  EXPECT_EQ(Script::Method(header, u"GetField", {TVariant("x-test")}).ToWide(), u"caf\u00e9");
}

TEST(PublishedMembers, SaveAndLoadExchangeTheText) {
  TMimeMessage source;
  source.SetText("Subject: saved\r\n\r\nx\r\n");
  TVariant saved = Script::Method(&source, u"SaveToString", {});
  EXPECT_EQ(saved.ToString(), "Subject: saved\r\n\r\nx\r\n");
  TMimeMessage target;
  Script::Method(&target, u"LoadFromString", {saved});
  EXPECT_EQ(target.Header().Subject(), "saved");
  TMimeMessage holder;
  Script::Method(&holder, u"AttachMessage",
                 {TVariant(static_cast<dispatch::IDispatchLike*>(&source))});
  EXPECT_EQ(
      holder.SubParts().Item(holder.SubParts().Count() - 1).SubParts().Item(0).Header().Subject(),
      "saved");
}

TEST(PublishedMembers, PartListMovesPartsBetweenMessages) {
  TMimeMessage a, b;
  a.SetText("Content-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\nX: 1\r\n\r\none\r\n--q--\r\n");
  dispatch::IDispatchLike* a_parts = Script::Get(&a, u"SubParts").ToDispatch();
  dispatch::IDispatchLike* b_parts = Script::Get(&b, u"SubParts").ToDispatch();
  dispatch::IDispatchLike* first = Script::Method(a_parts, u"Item", {TVariant(0)}).ToDispatch();
  EXPECT_EQ(Script::Method(b_parts, u"Add", {TVariant(first)}).ToInt(), 0);
  EXPECT_EQ(a.SubParts().Count(), 0);
  EXPECT_EQ(b.SubParts().Item(0).Parent(), &b);
}

TEST(PublishedMembers, FailuresBecomeStatusCodes) {
  TMimeMessage message;
  EXPECT_EQ(Script::Status(&message, u"NoSuchMember", dispatch::DISPATCH_PROPERTYGET),
            dispatch::DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Script::Status(&message, u"Parent", dispatch::DISPATCH_PROPERTYGET),
            dispatch::DISP_E_MEMBERNOTFOUND);
  dispatch::IDispatchLike* parts = Script::Get(&message, u"SubParts").ToDispatch();
  dispatch::DISPID id = 0;
  const std::u16string name = u"Item";
  parts->GetIDsOfNames(dispatch::IID_NULL, std::span<const std::u16string>(&name, 1), 0,
                       std::span(&id, 1));
  dispatch::DISPPARAMS params;
  params.rgvarg = {TVariant(3)};
  TVariant result;
  dispatch::EXCEPINFO error;
  EXPECT_EQ(parts->Invoke(id, dispatch::IID_NULL, 0, dispatch::DISPATCH_METHOD, params, &result,
                          &error, nullptr),
            dispatch::DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace mime
