// Header lines, the cache of value objects and their write-back into the lines.
#include "mime/mime_header.h"

#include "mime/header_fields.h"
#include "platform/os/text_compare.h"

namespace mime {

// What each cached object stands for. A derived object is made from other fields; written back,
// it replaces the field, and the field's own object is made again on next use. Writes by name are
// routed only to the field's own object.
struct TMimeHeader::CachedFieldInfo {
  std::string_view name;
  bool derived;
};

const TMimeHeader::CachedFieldInfo TMimeHeader::kCachedFields[kCachedFieldCount] = {
    {"To", false},
    {"Cc", false},
    {"From", false},
    {"Sender", false},
    {"Reply-To", false},
    {"Content-Type", false},
    {"Content-Transfer-Encoding", false},
    {"Content-Disposition", false},
    {"Reply-To", true},
    {"Sender", true},
};

TMimeHeader::~TMimeHeader() = default;

std::string TMimeHeader::GetText() const { return mime::JoinLines(lines_); }

void TMimeHeader::SetText(std::string_view text) {
  DropCache();
  mime::SplitLines(text, lines_);
}

void TMimeHeader::SetLines(mime::LineList lines) {
  DropCache();
  lines_ = std::move(lines);
}

void TMimeHeader::DropCache() {
  for (std::unique_ptr<TMimeHeaderItem>& object : cached_) object.reset();
}

std::string TMimeHeader::ReadField(std::string_view name) const {
  return mime::ReadField(lines_, name);
}

void TMimeHeader::WriteField(std::string_view name, std::string_view value) {
  mime::WriteField(lines_, name, value);
}

void TMimeHeader::Watch(TMimeHeaderItem& item) {
  item.SetChangeHandler([this](TMimeHeaderItem& changed) { WriteBack(changed); });
}

// Each field has one accessor, the only one to make its object, so the object is a T.
template <typename T>
T& TMimeHeader::Cached(CachedField field) {
  std::unique_ptr<TMimeHeaderItem>& slot = cached_[field];
  if (!slot) {
    slot = std::make_unique<T>();
    slot->SetText(ReadField(kCachedFields[field].name));
    Watch(*slot);
  }
  return static_cast<T&>(*slot);
}

TMimeEmailAddressList& TMimeHeader::ToList() { return Cached<TMimeEmailAddressList>(kTo); }
TMimeEmailAddressList& TMimeHeader::CcList() { return Cached<TMimeEmailAddressList>(kCc); }
TMimeEmailAddress& TMimeHeader::FromAddress() { return Cached<TMimeEmailAddress>(kFrom); }
TMimeEmailAddress& TMimeHeader::SenderAddress() { return Cached<TMimeEmailAddress>(kSender); }
TMimeEmailAddress& TMimeHeader::ReplyToAddress() { return Cached<TMimeEmailAddress>(kReplyTo); }
TMimeContentType& TMimeHeader::ContentType() { return Cached<TMimeContentType>(kContentType); }
TMimeContentTransferEncoding& TMimeHeader::ContentTransferEncoding() {
  return Cached<TMimeContentTransferEncoding>(kTransferEncoding);
}
TMimeContentDisposition& TMimeHeader::ContentDisposition() {
  return Cached<TMimeContentDisposition>(kDisposition);
}

// The text of the first present address, else the Return-Path field.
TMimeEmailAddress& TMimeHeader::Derived(CachedField field, TMimeEmailAddress* first,
                                        TMimeEmailAddress* second, TMimeEmailAddress* third) {
  std::unique_ptr<TMimeHeaderItem>& slot = cached_[field];
  if (slot) return static_cast<TMimeEmailAddress&>(*slot);
  std::string text;
  if (first->Present())
    text = first->GetText();
  else if (second->Present())
    text = second->GetText();
  else if (third->Present())
    text = third->GetText();
  else
    text = ReadField("Return-Path");
  auto address = std::make_unique<TMimeEmailAddress>();
  address->SetText(text);
  Watch(*address);
  TMimeEmailAddress& made = *address;
  slot = std::move(address);
  return made;
}

TMimeEmailAddress& TMimeHeader::DerivedReplyToAddress() {
  return Derived(kDerivedReplyTo, &ReplyToAddress(), &SenderAddress(), &FromAddress());
}

TMimeEmailAddress& TMimeHeader::DerivedSenderAddress() {
  TMimeEmailAddress* sender = &SenderAddress();
  TMimeEmailAddress* from = &FromAddress();
  return Derived(kDerivedSender, sender, from, from);
}

void TMimeHeader::WriteBack(TMimeHeaderItem& item) {
  for (std::size_t i = 0; i < kCachedFieldCount; ++i) {
    if (cached_[i].get() != &item) continue;
    const CachedFieldInfo& written = kCachedFields[i];
    WriteField(written.name, item.GetText());
    if (!written.derived) return;
    for (std::size_t j = 0; j < kCachedFieldCount; ++j) {
      if (!kCachedFields[j].derived && kCachedFields[j].name == written.name) cached_[j].reset();
    }
    return;
  }
}

void TMimeHeader::RoutedWrite(std::string_view name, std::string_view value) {
  for (std::size_t i = 0; i < kCachedFieldCount; ++i) {
    if (cached_[i] && !kCachedFields[i].derived &&
        os::EqualsTextIgnoreCase(name, kCachedFields[i].name)) {
      cached_[i]->SetText(value);
      return;
    }
  }
  WriteField(name, value);
}

bool TMimeHeader::IsMultipart() { return ContentType().MatchesMimeType("multipart/"); }

std::string TMimeHeader::Filename() {
  std::string name = ContentDisposition().Filename();
  return name.empty() ? ContentType().Name() : name;
}

}  // namespace mime
