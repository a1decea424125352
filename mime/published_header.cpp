// The published members of the header and its value objects, reachable by name through the
// dispatch base.
#include "mime/mime_header.h"
#include "mime/published_arguments.h"

namespace mime {

using dispatch::TPublishedMembers;
using dispatch::TVariant;

const TPublishedMembers& TMimeHeaderItem::Published() {
  static const auto members =
      TPublishedMembers::For<TMimeHeaderItem>(&dispatch::TDispatchBase::Published())
          .Property(
              "Text", [](TMimeHeaderItem& i) { return i.GetText(); },
              [](TMimeHeaderItem& i, const TVariant& v) { i.SetText(v.ToString()); })
          .Method(
              "ParamNameByIndex",
              [](TMimeHeaderItem& i, const TVariant& a) { return i.ParamNameByIndex(a.ToInt()); })
          .Method("ParamValueByName",
                  [](TMimeHeaderItem& i, const TVariant& a) {
                    return i.ParamValueByName(a.ToString());
                  })
          .Build();
  return members;
}

const TPublishedMembers& TMimeContentType::Published() {
  using T = TMimeContentType;
  static const auto members =
      TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
          .Property(
              "MimeType", [](T& c) { return c.MimeType(); },
              [](T& c, const TVariant& v) { c.SetMimeType(v.ToString()); })
          .Property(
              "Charset", [](T& c) { return c.Charset(); },
              [](T& c, const TVariant& v) { c.SetCharset(v.ToString()); })
          .Property(
              "Name", [](T& c) { return c.Name(); },
              [](T& c, const TVariant& v) { c.SetName(v.ToString()); })
          .Property("BoundaryString", [](T& c) { return c.BoundaryString(); })
          .Property("MimeTypeMajor", [](T& c) { return c.MimeTypeMajor(); })
          .Property("MimeTypeMinor", [](T& c) { return c.MimeTypeMinor(); })
          .Method("MatchesMimeType",
                  [](T& c, const TVariant& a) { return c.MatchesMimeType(a.ToString()); })
          .Method("MatchesCharset",
                  [](T& c, const TVariant& a) { return c.MatchesCharset(a.ToString()); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeContentTransferEncoding::Published() {
  using T = TMimeContentTransferEncoding;
  static const auto members =
      TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
          .Property("EncodingType", [](T& e) { return e.EncodingType(); })
          .Method("MatchesType",
                  [](T& e, const TVariant& a) { return e.MatchesType(a.ToString()); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeContentDisposition::Published() {
  using T = TMimeContentDisposition;
  static const auto members = TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
                                  .Property("Disposition", [](T& d) { return d.Disposition(); })
                                  .Property("Filename", [](T& d) { return d.Filename(); })
                                  .Build();
  return members;
}

const TPublishedMembers& TMimeEmailAddress::Published() {
  using T = TMimeEmailAddress;
  static const auto members =
      TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
          .Property(
              "Email", [](T& a) { return a.Email(); },
              [](T& a, const TVariant& v) { a.SetEmail(v.ToString()); })
          .Property("Mailbox", [](T& a) { return a.Mailbox(); })
          .Property("UserPart", [](T& a) { return a.UserPart(); })
          .Property("Domain", [](T& a) { return a.Domain(); })
          .Property(
              "DisplayName", [](T& a) { return a.DisplayName(); },
              [](T& a, const TVariant& v) { a.SetDisplayName(v.ToString()); })
          .Property(
              "DisplayNameUnicode", [](T& a) { return a.DisplayNameUnicode(); },
              [](T& a, const TVariant& v) { a.SetDisplayNameUnicode(v.ToWide()); })
          .Property(
              "DisplayNameUtf", [](T& a) { return a.DisplayNameUtf(); },
              [](T& a, const TVariant& v) { a.SetDisplayNameUtf(v.ToString()); })
          .Property("DisplayNameHtml", [](T& a) { return a.DisplayNameHtml(); })
          .Property("DisplayText", [](T& a) { return a.DisplayText(); })
          .Property("DisplayTextUtf", [](T& a) { return a.DisplayTextUtf(); })
          .Property("DisplayTextHtml", [](T& a) { return a.DisplayTextHtml(); })
          .Property("Present", [](T& a) { return a.Present(); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeEmailAddressList::Published() {
  using T = TMimeEmailAddressList;
  static const auto members =
      TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
          .Property("Count", [](T& l) { return l.Count(); })
          .Property("DisplayList", [](T& l) { return l.DisplayList(); })
          .Property("DisplayListUtf", [](T& l) { return l.DisplayListUtf(); })
          .Property("DisplayListUnicode", [](T& l) { return l.DisplayListUnicode(); })
          .Property("EmailList", [](T& l) { return l.EmailList(); })
          .Method("Append",
                  [](T& l, const TVariant& a) {
                    if (a.IsEmpty() || (a.vt() == dispatch::VT_DISPATCH && !a.ToDispatch()))
                      return &l.Append();
                    const std::string email = a.ToString();
                    return &l.Append(&email);
                  })
          .Method("ClearAll", [](T& l, const TVariant&, TVariant&) { l.ClearAll(); })
          .Method("Contains", [](T& l, const TVariant& a) { return l.Contains(a.ToString()); })
          .Method("Delete", [](T& l, const TVariant& a, TVariant&) { l.Delete(a.ToInt()); })
          .Method("Get", [](T& l, const TVariant& a) { return &l.Get(a.ToInt()); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeHeader::Published() {
  using T = TMimeHeader;
  static const auto members =
      TPublishedMembers::For<T>(&TMimeHeaderItem::Published())
          .Property(
              "Date", [](T& h) { return TVariant::Date(h.Date()); },
              [](T& h, const TVariant& v) { h.SetDate(v.ToDate()); })
          .Property("DateUtc", [](T& h) { return TVariant::Date(h.DateUtc()); })
          .Property("Timezone", [](T& h) { return h.Timezone(); })
          .Property("Size", [](T& h) { return h.Size(); })
          .Property("Count", [](T& h) { return h.Count(); })
          .Property("IsMultipart", [](T& h) { return h.IsMultipart(); })
          .Property("ContentType", [](T& h) { return &h.ContentType(); })
          .Property("ContentTransferEncoding", [](T& h) { return &h.ContentTransferEncoding(); })
          .Property("ContentDisposition", [](T& h) { return &h.ContentDisposition(); })
          .Property("Filename", [](T& h) { return h.Filename(); })
          .Property("MimeType", [](T& h) { return h.MimeType(); })
          .Property("BodyCharset", [](T& h) { return h.BodyCharset(); })
          .Property(
              "ContentId", [](T& h) { return h.ContentId(); },
              [](T& h, const TVariant& v) { h.SetContentId(v.ToString()); })
          .Property(
              "MessageId", [](T& h) { return h.MessageId(); },
              [](T& h, const TVariant& v) { h.SetMessageId(v.ToString()); })
          .Property("MessageIdHash", [](T& h) { return h.MessageIdHash(); })
          .Property("Priority", [](T& h) { return h.Priority(); })
          .Property("ToList", [](T& h) { return &h.ToList(); })
          .Property("CcList", [](T& h) { return &h.CcList(); })
          .Property("FromAddress", [](T& h) { return &h.FromAddress(); })
          .Property("SenderAddress", [](T& h) { return &h.SenderAddress(); })
          .Property("ReplyToAddress", [](T& h) { return &h.ReplyToAddress(); })
          .Property("DerivedReplyToAddress", [](T& h) { return &h.DerivedReplyToAddress(); })
          .Property("DerivedSenderAddress", [](T& h) { return &h.DerivedSenderAddress(); })
          .Property("ContentLength", [](T& h) { return h.ContentLength(); })
          .Property(
              "Subject", [](T& h) { return h.Subject(); },
              [](T& h, const TVariant& v) { h.SetSubject(v.ToString()); })
          .Method("GetField", [](T& h, const TVariant& a) { return h.GetField(a.ToString()); })
          .Method("SetField",
                  [](T& h, const TVariant& a, TVariant&) {
                    h.SetField(mime::Argument(a, 0).ToString(), mime::Argument(a, 1).ToWide());
                  })
          .Build();
  return members;
}

}  // namespace mime
