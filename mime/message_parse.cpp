// Parsing message text into the part tree. One reader walks the text; each line is copied once,
// into the header or body that keeps it.
#include "mime/header_fields.h"
#include "mime/mime_message.h"

namespace mime {

class TMimeMessage::Parser {
 public:
  explicit Parser(std::string_view text) : reader_(text) {}

  // Parses one part; done is set when the enclosing multipart's closing delimiter was seen or the
  // text ran out. boundary is the enclosing multipart's (empty at the top level).
  void Parse(TMimeMessage& part, bool& done, std::string_view boundary, int depth) {
    mime::LineList header_lines;
    if (mime::ReadHeaderBlock(reader_, header_lines))
      part.header_->SetLines(std::move(header_lines));
    bool nested = depth < kMaxNesting;
    if (nested && part.header_->IsMultipart()) {
      ParseMultipart(part, depth);
    } else {
      part.body_->Lines().clear();
      if (nested && part.IsOfType("message/rfc822")) {
        auto child = std::make_unique<TMimeMessage>();
        child->parent_ = &part;
        Parse(*child, done, boundary, depth + 1);
        part.sub_parts_->Add(std::move(child));
      } else {
        ReadBody(part, done, boundary);
      }
    }
    if (reader_.AtEnd()) done = true;
  }

 private:
  static bool IsDelimiter(std::string_view line, std::string_view boundary) {
    return line.size() >= boundary.size() + 2 && line[0] == '-' && line[1] == '-' &&
           line.substr(2, boundary.size()) == boundary;
  }
  static bool IsClosingDelimiter(std::string_view line, std::string_view boundary) {
    return line.size() == boundary.size() + 4 && IsDelimiter(line, boundary) &&
           line.ends_with("--");
  }

  // Preamble into the body, then children until one sees this part's closing delimiter. The
  // enclosing boundary is not consulted here.
  void ParseMultipart(TMimeMessage& part, int depth) {
    const std::string boundary = part.header_->ContentType().BoundaryString();
    std::string_view last;
    mime::LineList& preamble = part.body_->Lines();
    while (!reader_.AtEnd()) {
      last = reader_.Next();
      if (IsDelimiter(last, boundary)) break;
      preamble.emplace_back(last);
    }
    if (IsClosingDelimiter(last, boundary)) return;
    bool children_done = false;
    while (!children_done) {
      auto child = std::make_unique<TMimeMessage>();
      child->parent_ = &part;
      Parse(*child, children_done, boundary, depth + 1);
      // Pieces between delimiters that start with an empty line (epilogues) are dropped.
      if (child->header_->Count() > 0) part.sub_parts_->Add(std::move(child));
    }
  }

  void ReadBody(TMimeMessage& part, bool& done, std::string_view boundary) {
    mime::LineList& body = part.body_->Lines();
    while (!reader_.AtEnd()) {
      std::string_view line = reader_.Next();
      if (!boundary.empty() && IsDelimiter(line, boundary)) {
        done = IsClosingDelimiter(line, boundary);
        return;
      }
      body.emplace_back(line);
    }
  }

  mime::LineReader reader_;
};

void TMimeMessage::SetText(std::string_view text) {
  Parser parser(text);
  bool done = false;
  parser.Parse(*this, done, std::string_view(), 0);
}

void TMimeMessage::LoadFromStream(std::istream& stream) {
  std::string text;
  char block[1 << 16];
  while (stream.read(block, sizeof block) || stream.gcount() > 0)
    text.append(block, static_cast<size_t>(stream.gcount()));
  SetText(text);
}

void TMimeMessage::LoadHeader(std::string_view text) {
  mime::LineReader reader(text);
  mime::LineList lines;
  if (mime::ReadHeaderBlock(reader, lines)) header_->SetLines(std::move(lines));
}

}  // namespace mime
