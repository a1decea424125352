// Message assembly: texts, header, body structure and attachments of one message, with embedded
// messages composed the same way into trees of their own.
#include "compose/compose_message.h"

#include <string>

#include "compose/header_synthesis.h"
#include "compose/mapi_reading.h"
#include "compose/rtf_body.h"
#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_memory.h"
#include "platform/os/ansi_code_page.h"
#include "support/diag/debug_trace.h"
#include "support/dispatch/wide_text.h"

namespace compose {
namespace {

constexpr ULONG kOpenFlags = MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS;

// Columns of the attachment table, in the order requested.
enum Column : ULONG {
  kRendering,
  kNumber,
  kRenderingPosition,
  kMethod,
  kLongFileName,
  kFileName,
  kSize,
  kContentId,
  kMimeTag,
  kColumnCount
};
constexpr ULONG kAttachmentColumns[kColumnCount] = {
    PR_ATTACH_RENDERING, PR_ATTACH_NUM,           PR_RENDERING_POSITION,
    PR_ATTACH_METHOD,    PR_ATTACH_LONG_FILENAME, PR_ATTACH_FILENAME,
    PR_ATTACH_SIZE,      PR_ATTACH_CONTENT_ID_W,  PR_ATTACH_MIME_TAG};

// The outcome of composing one message: the PR_HASATTACH result, and the first read of data (of the
// message, its attachments or its embedded messages) that broke off part-way.
struct Outcome {
  HRESULT has_attach_result = S_OK;
  HRESULT read_failure = S_OK;

  void Note(HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(read_failure)) read_failure = hr;
  }
};

Outcome ComposeAt(IMessage* message, TMIMEConstructor& root, int depth);

// The column's text in UTF-8, which the composed message is written in.
std::string StringColumn(const SRow& row, Column column) {
  const SPropValue& v = row.lpProps[column];
  return v.ulPropTag == kAttachmentColumns[column] && v.Value.lpszA ? os::AnsiToUtf8(v.Value.lpszA)
                                                                    : std::string();
}

// The long file name is the real one; the short form stands in only when there is no other.
std::string FileNameOf(const SRow& row) {
  std::string name = StringColumn(row, kLongFileName);
  return name.empty() ? StringColumn(row, kFileName) : name;
}

std::string ContentIdOf(const SRow& row) {
  const SPropValue& v = row.lpProps[kContentId];
  if (v.ulPropTag != PR_ATTACH_CONTENT_ID_W || !v.Value.lpszW) return std::string();
  return dispatch::WideToUtf8(v.Value.lpszW);
}

HRESULT OpenAttachment(IMessage* message, ULONG number, mapi::InterfacePtr<IAttach>& out) {
  IAttach* opened = nullptr;
  const HRESULT hr = message->OpenAttach(number, &IID_IAttachment, kOpenFlags, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

void AddEmbeddedMessage(IAttach* attachment, TMIMEConstructor& root, int depth, Outcome& outcome) {
  if (depth >= kMaxEmbeddedDepth) {
    diag::DebugTrace("ComposeMessage: embedded message nested too deep, left out");
    return;
  }
  IUnknown* opened = nullptr;
  mapi::InterfacePtr<IMessage> embedded;
  const HRESULT hr =
      attachment->OpenProperty(PR_ATTACH_DATA_OBJ, &IID_IMessage, 0, kOpenFlags, &opened);
  if (FAILED(mapi::AdoptOpened(hr, opened, embedded))) return;
  auto child = std::make_unique<TMIMEConstructor>();
  outcome.Note(ComposeAt(embedded.get(), *child, depth + 1).read_failure);
  root.AddMessagePart(std::move(child));
}

// An attachment's data stream, kept open with its attachment until the text is written.
class AttachmentDataSource final : public ByteSource {
 public:
  AttachmentDataSource(mapi::InterfacePtr<IAttach> attachment, mapi::InterfacePtr<IStream> stream)
      : attachment_(std::move(attachment)), stream_(std::move(stream)), source_(stream_.get()) {}
  std::size_t Read(char* buffer, std::size_t size) override { return source_.Read(buffer, size); }
  std::int32_t Status() const override { return source_.status(); }

 private:
  mapi::InterfacePtr<IAttach> attachment_;
  mapi::InterfacePtr<IStream> stream_;
  MapiStreamSource source_;
};

void AddAttachmentData(mapi::InterfacePtr<IAttach> attachment, const SRow& row,
                       TMIMEConstructor& root, Outcome& outcome) {
  mapi::InterfacePtr<IStream> stream;
  if (FAILED(OpenPropertyStream(attachment.get(), PR_ATTACH_DATA_BIN, stream))) return;
  auto data = std::make_unique<AttachmentDataSource>(std::move(attachment), std::move(stream));
  outcome.Note(root.AddAttachment(std::move(data), FileNameOf(row), StringColumn(row, kMimeTag),
                                  ContentIdOf(row)));
}

// An attachment held outside the message: its stored path (the long form first) as an external
// body, so that the part says where the file was.
void AddReferenceAttachment(IAttach* attachment, const SRow& row, TMIMEConstructor& root) {
  std::string location;
  for (ULONG tag : {PR_ATTACH_LONG_PATHNAME, PR_ATTACH_PATHNAME}) {
    dispatch::TVariant value;
    ReadPropVariant(attachment, tag, value);
    if (!value.IsEmpty()) location = value.ToString();
    if (!location.empty()) break;
  }
  root.AddExternalAttachment(location, FileNameOf(row), StringColumn(row, kMimeTag));
}

void AddAttachmentRow(IMessage* message, const SRow& row, TMIMEConstructor& root, int depth,
                      Outcome& outcome) {
  if (row.cValues < kColumnCount || !row.lpProps) return;
  const SPropValue& number = row.lpProps[kNumber];
  if (PROP_TYPE(number.ulPropTag) != PT_LONG) return;
  mapi::InterfacePtr<IAttach> attachment;
  if (FAILED(OpenAttachment(message, number.Value.ul, attachment))) return;
  const SPropValue& method = row.lpProps[kMethod];
  const ULONG how = PROP_TYPE(method.ulPropTag) == PT_LONG ? method.Value.ul : ATTACH_BY_VALUE;
  if (how == ATTACH_EMBEDDED_MSG) {
    AddEmbeddedMessage(attachment.get(), root, depth, outcome);
  } else if (how == ATTACH_BY_REFERENCE || how == ATTACH_BY_REF_RESOLVE ||
             how == ATTACH_BY_REF_ONLY) {
    AddReferenceAttachment(attachment.get(), row, root);
  } else {
    AddAttachmentData(std::move(attachment), row, root, outcome);
  }
}

void AddAttachments(IMessage* message, TMIMEConstructor& root, int depth, Outcome& outcome) {
  mapi::InterfacePtr<IMAPITable> table;
  {
    IMAPITable* opened = nullptr;
    if (FAILED(message->GetAttachmentTable(0, &opened)) || !opened) return;
    table = mapi::InterfacePtr<IMAPITable>(opened);
  }
  LPSPropTagArray tags = nullptr;
  if (FAILED(mapi::MakePropTagArray(std::span<const ULONG>(kAttachmentColumns), &tags))) return;
  mapi::MapiBufferPtr<SPropTagArray> tag_owner(tags);
  LPSRowSet rows = nullptr;
  if (FAILED(mapi::HrQueryAllRows(table.get(), tags, nullptr, nullptr, 0, &rows)) || !rows) return;
  mapi::RowSetPtr row_owner(rows);
  for (ULONG r = 0; r < rows->cRows; ++r) {
    AddAttachmentRow(message, rows->aRow[r], root, depth, outcome);
  }
}

// The uncompressed RTF of PR_RTF_COMPRESSED; empty when there is none.
HRESULT ReadRtf(IMessage* message, std::string& rtf) {
  mapi::InterfacePtr<IStream> compressed;
  if (FAILED(OpenPropertyStream(message, PR_RTF_COMPRESSED, compressed))) return S_OK;
  IStream* wrapped = nullptr;
  if (FAILED(mapi::WrapCompressedRTFStream(compressed.get(), 0, &wrapped)) || !wrapped) return S_OK;
  mapi::InterfacePtr<IStream> uncompressed(wrapped);
  return ReadStreamText(uncompressed.get(), rtf);
}

// Whether the attachment table holds a row.
bool AttachmentTableHasRows(IMessage* message) {
  IMAPITable* opened = nullptr;
  if (FAILED(message->GetAttachmentTable(0, &opened)) || !opened) return false;
  mapi::InterfacePtr<IMAPITable> table(opened);
  ULONG count = 0;
  return SUCCEEDED(table->GetRowCount(0, &count)) && count > 0;
}

// A message that keeps no flags (PR_HASATTACH is derived from them) is still composed: whether it
// has attachments is then read from its attachment table.
bool ReadHasAttach(IMessage* message, Outcome& outcome) {
  LPSPropValue value = nullptr;
  outcome.has_attach_result = mapi::HrGetOneProp(message, PR_HASATTACH, &value);
  mapi::MapiBufferPtr<SPropValue> owner(value);
  if (outcome.has_attach_result == MAPI_E_NOT_FOUND) {
    outcome.has_attach_result = S_OK;
    return AttachmentTableHasRows(message);
  }
  return SUCCEEDED(outcome.has_attach_result) && value && value->Value.b != 0;
}

// Most texts hold no NUL: they are only searched, not rewritten.
void EraseNul(std::string& text) {
  if (text.find('\0') != std::string::npos) std::erase(text, '\0');
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The texts the message gets from its PR_BODY text and its RTF. The RTF's own text stands in for
// a blank PR_BODY; a scan that finds no text never wipes out the PR_BODY text. RTF made from HTML
// is scanned for its text only when that text is used.
void ChooseTexts(std::string_view rtf, std::string& plain, std::string& html) {
  const bool from_html = IsHtmlRtf(rtf);
  if (from_html) html = HtmlFromRtf(rtf);
  if (IsTextRtf(rtf)) {
    std::string scanned = TextFromRtf(rtf);
    if (!IsBlank(scanned) || plain.empty()) plain = std::move(scanned);
  } else if (from_html && IsBlank(plain)) {
    plain = TextFromRtf(rtf);
  }
  EraseNul(plain);
  EraseNul(html);
}

Outcome ComposeAt(IMessage* message, TMIMEConstructor& root, int depth) {
  Outcome outcome;
  std::string plain, rtf, headers, html;
  outcome.Note(ReadPropertyText(message, PR_BODY, plain));
  outcome.Note(ReadRtf(message, rtf));
  outcome.Note(ReadPropertyText(message, PR_TRANSPORT_MESSAGE_HEADERS, headers));
  // The library's texts are in the ANSI code page; the composed message is UTF-8.
  os::AnsiToUtf8InPlace(plain);
  os::AnsiToUtf8InPlace(headers);
  ChooseTexts(rtf, plain, html);
  const bool has_attachments = ReadHasAttach(message, outcome);
  if (!TrimControls(headers).empty()) {
    LoadTransportHeaders(headers, root.Header());
  } else {
    ComposeHeaders(message, root);
  }
  root.SetBody(plain, html, has_attachments);
  if (has_attachments) AddAttachments(message, root, depth, outcome);
  return outcome;
}

}  // namespace

HRESULT ComposeMessage(IMessage* message, TMIMEConstructor& root) {
  const Outcome outcome = ComposeAt(message, root, 0);
  if (FAILED(outcome.has_attach_result)) return outcome.has_attach_result;
  if (FAILED(outcome.read_failure)) return outcome.read_failure;
  return outcome.has_attach_result;
}

}  // namespace compose
