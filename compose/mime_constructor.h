// The part composer: TMIMEHeader, a header kept as a list of lines, and TMIMEConstructor, one node
// of the part tree of a composed message (header, body bytes, child parts, kind). Message assembly
// fills a root node and has it write its text. The composer only builds and writes; it never parses
// its output back. Every line it writes ends with CR LF. Attachment bytes are read and encoded only
// while the text is written, so a tree holds its texts and headers but never its attachments.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compose/byte_source.h"
#include "compose/header_lines.h"
#include "compose/text_sink.h"

namespace compose {

// A header block in output order. An entry set through SetField is one whole field whose value may
// hold folds (CR LF and eight blanks); an entry loaded from transport headers is one physical line.
class TMIMEHeader {
 public:
  // param "*": the whole value of every occurrence of the field, unfolded and joined with ", ";
  // param "": the main value (up to the first ";" or "," outside quotes, trimmed);
  // any other param: that parameter's value without quotes. Empty when absent.
  std::string GetField(std::string_view name, std::string_view param) const;
  // param "*": replaces the first field of that name in place (folded), or inserts a new one.
  // Otherwise changes only the main value or the named parameter, adding it when absent.
  void SetField(std::string_view name, std::string_view value, std::string_view param);
  // Removes the first field of that name with its continuation lines.
  bool DeleteField(std::string_view name);

  HeaderLines& Lines() { return lines_; }
  const HeaderLines& Lines() const { return lines_; }

 private:
  HeaderLines lines_;
};

// What a node writes after its header.
enum class PartKind : std::uint8_t {
  kNone = 0,       // nothing set: the body bytes (if any) and the children without delimiters
  kText = 2,       // text as handed over
  kBase64 = 3,     // base64 lines
  kMultipart = 4,  // children between boundary delimiters; the body is never written
};

class TMIMEConstructor {
 public:
  TMIMEConstructor() = default;
  TMIMEConstructor(const TMIMEConstructor&) = delete;
  TMIMEConstructor& operator=(const TMIMEConstructor&) = delete;

  TMIMEHeader& Header() { return header_; }
  const TMIMEHeader& Header() const { return header_; }
  const std::string& Body() const { return body_; }
  const std::vector<std::unique_ptr<TMIMEConstructor>>& Parts() const { return parts_; }
  PartKind Kind() const { return kind_; }

  // Appends child. A multipart node whose boundary the child's tree already uses takes a new one.
  void AddPart(std::unique_ptr<TMIMEConstructor> child);
  // Wraps a composed message in a message/rfc822 part and appends the wrapper.
  void AddMessagePart(std::unique_ptr<TMIMEConstructor> child);
  // Appends an attachment part: base64, except that a message/* type is written as it stands
  // (7bit or 8bit) when its bytes are text that allows it, and otherwise base64 as
  // application/octet-stream with the type kept in an "x-original-type" parameter. CR, LF and NUL
  // in the texts become blanks; an empty MIME type becomes application/octet-stream; an empty
  // content id gives no Content-Id field. The bytes of a message/* type are read here (the result
  // is then the source's Status()); all others when the text is written (the result is 0).
  std::int32_t AddAttachment(std::unique_ptr<ByteSource> data, std::string_view file_name,
                             std::string_view mime_type, std::string_view content_id);
  // Appends a message/external-body part for an attachment held outside the message: access type
  // URL for a location of the form scheme://..., local-file otherwise.
  void AddExternalAttachment(std::string_view location, std::string_view file_name,
                             std::string_view mime_type);
  // The body becomes the source's bytes in base64 lines of 72 characters, read when the text is
  // written.
  void SetBinaryBody(std::unique_ptr<ByteSource> data);
  // Appends text to the body unchanged.
  void SetTextBody(std::string_view text);
  // Gives the node its body structure: plain text, HTML, both as alternatives, and with
  // has_attachments a multipart/mixed whose first part holds the body.
  void SetBody(std::string_view plain, std::string_view html, bool has_attachments);
  // Declares the node multipart of mime_type with a boundary "Next_Part_" and a number; a
  // declaration of the same type with a boundary is kept.
  void SetMultipart(std::string_view mime_type);

  // Writes the whole text to out. Each attachment source is read to its end, so a tree with
  // attachments is written once. Returns 0, or the Status() of the first source whose read broke
  // off: writing stops there and what was written is not the message.
  std::int32_t WriteTo(TextSink& out) const;
  // The text WriteTo writes, whatever its result.
  std::string GetText() const;
  // The top-level header as WriteTo begins the text: its lines and the empty line that ends it.
  std::string HeaderText() const;

 private:
  class LineSink;
  std::int32_t Serialise(LineSink& sink) const;
  // Boundaries of the multipart nodes below this one.
  void CollectBoundaries(std::vector<std::string>& out) const;
  std::string FreshBoundary() const;
  void SetTextPart(std::string text, std::string_view type, std::string_view charset);
  // The body is bytes as they stand, declared 7bit or 8bit; they come back exactly on reading.
  void SetIdentityBody(std::string_view bytes);

  TMIMEHeader header_;
  std::string body_;
  std::unique_ptr<ByteSource> binary_body_;  // kBase64: the bytes to encode
  std::vector<std::unique_ptr<TMIMEConstructor>> parts_;
  PartKind kind_ = PartKind::kNone;
};

}  // namespace compose
