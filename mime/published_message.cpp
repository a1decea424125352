// The published members of the message, its body, part list and envelope, reachable by name
// through the dispatch base. Methods of the message take one packed argument value.
#include "mime/mime_message.h"
#include "mime/published_arguments.h"
#include "support/diag/error.h"

namespace mime {

using dispatch::TPublishedMembers;
using dispatch::TVariant;

namespace {

// A part handed to a part list by a script: taken from the list that owns it, never from a tree
// it would then contain.
std::unique_ptr<TMimeMessage> TakePart(const TVariant& value, const TMimePartList& list) {
  auto* part = dynamic_cast<TMimeMessage*>(value.ToDispatch());
  if (!part) throw diag::EPlError("A message part is expected");
  for (const TMimeMessage* p = list.Owner(); p; p = p->Parent())
    if (p == part) throw diag::EPlError("A part cannot contain itself");
  std::unique_ptr<TMimeMessage> taken = part->DetachFromOwner();
  if (!taken) throw diag::EPlError("The part is not held by a message");
  return taken;
}

TVariant LinesArray(const mime::LineList& lines) {
  std::vector<TVariant> elements;
  elements.reserve(lines.size());
  for (const std::string& line : lines) elements.emplace_back(line);
  return TVariant::Array(std::move(elements), dispatch::VT_BSTR);
}

}  // namespace

const TPublishedMembers& TMimeBody::Published() {
  using T = TMimeBody;
  static const auto members = TPublishedMembers::For<T>(&dispatch::TDispatchBase::Published())
                                  .Property(
                                      "Lines", [](T& b) { return LinesArray(b.Lines()); },
                                      [](T& b, const TVariant& v) {
                                        if (!v.IsArray()) return b.SetText(v.ToString());
                                        b.Lines().clear();
                                        for (const TVariant& line : v.Elements())
                                          b.Lines().push_back(line.ToString());
                                      })
                                  .Property("Size", [](T& b) { return b.Size(); })
                                  .Property(
                                      "Text", [](T& b) { return b.GetText(); },
                                      [](T& b, const TVariant& v) { b.SetText(v.ToString()); })
                                  .Build();
  return members;
}

const TPublishedMembers& TMimePartList::Published() {
  using T = TMimePartList;
  static const auto members =
      TPublishedMembers::For<T>(&dispatch::TDispatchBase::Published())
          .Property("Count", [](T& l) { return l.Count(); })
          .Method("Add", [](T& l, const TVariant& a) { return l.Add(TakePart(a, l)); })
          .Method("Insert",
                  [](T& l, const TVariant& a, TVariant&) {
                    int index = mime::Argument(a, 0).ToInt();
                    if (index < 0 || index > l.Count())
                      throw diag::EPlError("List index out of bounds");
                    l.Insert(index, TakePart(mime::Argument(a, 1), l));
                  })
          .Method("MoveTo",
                  [](T& l, const TVariant& a, TVariant&) {
                    auto* target = dynamic_cast<TMimePartList*>(a.ToDispatch());
                    if (!target) throw diag::EPlError("A part list is expected");
                    for (const TMimeMessage* p = target->Owner(); p; p = p->Parent())
                      if (p == l.Owner()) throw diag::EPlError("A part cannot contain itself");
                    l.MoveTo(*target);
                  })
          .Method("Item", [](T& l, const TVariant& a) { return &l.Item(a.ToInt()); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeMessageEnvelopeRecipients::Published() {
  using T = TMimeMessageEnvelopeRecipients;
  static const auto members =
      TPublishedMembers::For<T>(&dispatch::TDispatchBase::Published())
          .Property("Count", [](T& r) { return r.Count(); })
          .Method("Add", [](T& r, const TVariant& a, TVariant&) { r.Add(a.ToString()); })
          .Method("Remove", [](T& r, const TVariant& a, TVariant&) { r.Remove(a.ToString()); })
          .Method("Delete", [](T& r, const TVariant& a, TVariant&) { r.Delete(a.ToInt()); })
          .Method("Get", [](T& r, const TVariant& a) { return r.Get(a.ToInt()); })
          .Method("Contains", [](T& r, const TVariant& a) { return r.Contains(a.ToString()); })
          .Method("Clear", [](T& r, const TVariant&, TVariant&) { r.Clear(); })
          .Build();
  return members;
}

const TPublishedMembers& TMimeMessageEnvelope::Published() {
  using T = TMimeMessageEnvelope;
  static const auto members = TPublishedMembers::For<T>(&dispatch::TDispatchBase::Published())
                                  .Property(
                                      "Sender", [](T& e) { return e.Sender(); },
                                      [](T& e, const TVariant& v) { e.SetSender(v.ToString()); })
                                  .Property("Recipients", [](T& e) { return &e.Recipients(); })
                                  .Build();
  return members;
}

const TPublishedMembers& TMimeMessage::Published() {
  using T = TMimeMessage;
  static const auto members =
      TPublishedMembers::For<T>(&dispatch::TDispatchBase::Published())
          .Property("Envelope", [](T& m) { return &m.Envelope(); })
          .Property("Header", [](T& m) { return &m.Header(); })
          .Property("Body", [](T& m) { return &m.Body(); })
          .Property("SubParts", [](T& m) { return &m.SubParts(); })
          .Property(
              "Guid", [](T& m) { return m.Guid(); },
              [](T& m, const TVariant& v) { m.SetGuid(v.ToString()); })
          .Property("Uid", [](T& m) { return m.Uid(); })
          .Property("Parent", [](T& m) { return m.Parent(); })
          .Property("Size", [](T& m) { return m.Size(); })
          .Property("Lines", [](T& m) { return m.Lines(); })
          .Property(
              "Text", [](T& m) { return m.GetText(); },
              [](T& m, const TVariant& v) { m.SetText(v.ToString()); })
          .Property("Plaintext", [](T& m) { return &m.Plaintext(); })
          .Property("Html", [](T& m) { return &m.Html(); })
          .Property("IsAttachment", [](T& m) { return m.IsAttachment(); })
          .Method("AssignHtmlPart",
                  [](T& m, const TVariant& a, TVariant&) { m.AssignHtmlPart(a.ToString()); })
          .Method("AssignPlaintextPart",
                  [](T& m, const TVariant& a, TVariant&) {
                    m.AssignPlaintextPart(mime::Argument(a, 0).ToString(),
                                          mime::Argument(a, 1).ToString());
                  })
          .Method("AttachBinary",
                  [](T& m, const TVariant& a) {
                    return &m.AttachBinary(
                        mime::ArgumentBytes(mime::Argument(a, 0)), mime::Argument(a, 1).ToString(),
                        mime::Argument(a, 2).ToString(), mime::Argument(a, 3).ToString(),
                        mime::Argument(a, 4).ToString());
                  })
          .Method("AttachMessage",
                  [](T& m, const TVariant& a) { return &m.AttachMessage(a.ToDispatch()); })
          .Method("Crc32",
                  [](T& m, const TVariant&) { return static_cast<std::int32_t>(m.Crc32()); })
          .Method("RenderForPlaintext",
                  [](T& m, const TVariant& a) {
                    bool null = a.IsEmpty() || (a.vt() == dispatch::VT_DISPATCH && !a.ToDispatch());
                    return m.RenderForPlaintext(null ? "us-ascii" : a.ToString());
                  })
          .Method("RenderForHtml", [](T& m, const TVariant&) { return m.RenderForHtml(); })
          .Method("SaveToString", [](T& m, const TVariant&) { return m.SaveToString(); })
          .Method("LoadFromString",
                  [](T& m, const TVariant& a, TVariant&) { m.LoadFromString(a.ToString()); })
          .Build();
  return members;
}

}  // namespace mime
