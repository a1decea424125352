// One MIME entity (a whole message or one part of it): header, body lines, sub-parts and envelope.
// Parses RFC 822/MIME text into a part tree, builds and changes messages, and writes the tree back
// as text. Malformed text never raises; nesting deeper than kMaxNesting stays as body lines.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mime/message_envelope.h"
#include "mime/mime_header.h"
#include "mime/text_lines.h"
#include "support/dispatch/dispatch_base.h"

namespace mime {

class TMimeMessage;

// The body lines of a part, without line terminators (for a multipart: its preamble).
class TMimeBody : public dispatch::TDispatchBase {
 public:
  mime::LineList& Lines() { return lines_; }
  const mime::LineList& Lines() const { return lines_; }
  long long Size() const { return mime::LinesSize(lines_); }
  std::string GetText() const { return mime::JoinLines(lines_); }
  void SetText(std::string_view text) { mime::SplitLines(text, lines_); }

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  mime::LineList lines_;
};

// The owned sub-parts of a message, in order. Adding a part makes the list's owner its Parent.
class TMimePartList : public dispatch::TDispatchBase {
 public:
  explicit TMimePartList(TMimeMessage* owner) : owner_(owner) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Returns the new index.
  int Add(std::unique_ptr<TMimeMessage> part);
  void Insert(int index, std::unique_ptr<TMimeMessage> part);
  // Moves every item, first to last, to the end of target.
  void MoveTo(TMimePartList& target);
  // Raises diag::EPlError for an index outside 0 .. Count - 1.
  TMimeMessage& Item(int index) const;
  // Takes the part out of the list; null when it is not in it.
  std::unique_ptr<TMimeMessage> Extract(const TMimeMessage& part);
  TMimeMessage* Owner() const { return owner_; }

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  TMimeMessage* owner_;
  std::vector<std::unique_ptr<TMimeMessage>> items_;
};

class TMimeMessage : public dispatch::TDispatchBase {
 public:
  // Structure nested deeper than this (multiparts and embedded messages) is kept as body lines.
  static constexpr int kMaxNesting = 128;

  TMimeMessage();
  ~TMimeMessage() override;
  TMimeMessage(const TMimeMessage&) = delete;
  TMimeMessage& operator=(const TMimeMessage&) = delete;

  TMimeMessageEnvelope& Envelope() const { return *envelope_; }
  TMimeHeader& Header() const { return *header_; }
  TMimeBody& Body() const { return *body_; }
  TMimePartList& SubParts() const { return *sub_parts_; }
  TMimeMessage* Parent() const { return parent_; }
  const std::string& Guid() const { return guid_; }
  // Sets Guid and Uid (characters 2 to 37 of the value).
  void SetGuid(std::string_view guid);
  const std::string& Uid() const { return uid_; }

  // Parsing. Text is split into lines (CR LF, lone CR or lone LF; a NUL byte ends it).
  void SetText(std::string_view text);
  void LoadFromStream(std::istream& stream);
  // Reads only the top-level header; its fields read exactly as after a full parse. Body and
  // sub-parts stay as they were.
  void LoadHeader(std::string_view text);

  // Writing.
  std::string GetText() const;
  void WriteTo(std::string& out) const;
  long long Size() const;
  int Lines() const;
  // CRC-32 register over envelopes, header and body lines of the whole tree.
  std::uint32_t Crc32() const;

  // This part's content type begins with prefix (case-sensitive).
  bool IsOfType(std::string_view prefix) const;
  TMimeMessage* FindPart(std::string_view mime_type);
  void ConvertToMultipart(std::string_view multipart_type);
  TMimeMessage& Plaintext();
  TMimeMessage& Html();
  bool IsAttachment() const;

  void AssignHtmlPart(std::string_view html);
  void AssignPlaintextPart(std::string_view text, std::string_view charset);
  TMimeMessage& AttachBinary(std::string_view data, std::string_view mime_type,
                             std::string_view encoding, std::string_view file_name,
                             std::string_view charset);
  // Appends a message/rfc822 part holding a message parsed from text.
  TMimeMessage& AttachMessageText(std::string_view text);
  // The same with the text of an automation object's SaveToString.
  TMimeMessage& AttachMessage(dispatch::IDispatchLike* object);
  std::string SaveToString() const { return GetText(); }
  void LoadFromString(std::string_view text) { SetText(text); }

  // The body decoded into charset (quoted-printable bodies always give UTF-8).
  std::string DecodeBody(std::string_view charset) const;
  std::string RenderForPlaintext(std::string_view charset);
  std::string RenderForHtml();

  // Takes this part from whatever list holds it (parent's sub-parts or unplaced parts); null when
  // nothing in the model owns it.
  std::unique_ptr<TMimeMessage> DetachFromOwner();

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  friend class TMimePartList;
  class Parser;

  void NewGuid();
  TMimeMessage& CreatePart(std::string_view mime_type, std::string_view other_type, bool append);
  // Keeps a part that was created but not placed in the tree.
  TMimeMessage& KeepUnplaced(std::unique_ptr<TMimeMessage> part);

  std::string guid_;
  std::string uid_;
  std::unique_ptr<TMimeHeader> header_;
  std::unique_ptr<TMimeBody> body_;
  std::unique_ptr<TMimePartList> sub_parts_;
  TMimeMessage* parent_ = nullptr;
  std::unique_ptr<TMimeMessageEnvelope> envelope_;
  std::vector<std::unique_ptr<TMimeMessage>> unplaced_;
  TMimeMessage* unplaced_holder_ = nullptr;
};

}  // namespace mime
