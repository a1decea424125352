// Allocation failures inside the library: a whole message is read (opened by entry id, GetProps,
// the compressed RTF through the wrapper, the attachment table, attachment data, an embedded
// message) while the Nth allocation of the process throws, for every N the read reaches. Every call
// must answer with a code (nothing may unwind into the caller), a failed read must say
// MAPI_E_NOT_ENOUGH_MEMORY, nothing may leak (the sanitizer build checks), and the same read
// without the failure must then give everything again.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform_mapilib/failing_allocations.h"
#include "tests/platform_mapilib/library_fixture.h"
#include "tests/platform_mapilib/writer_files.h"

namespace platform_mapilib_test {
namespace {

// What one read found; sizes only, so that the read itself allocates nothing in the test.
struct Outcome {
  HRESULT code = S_OK;  // the first failure, or S_OK
  std::size_t subject_size = 0;
  std::size_t rtf_size = 0;
  ULONG attachment_rows = 0;
  std::size_t data_size = 0;
  std::size_t embedded_subject_size = 0;

  bool operator==(const Outcome&) const = default;
};

std::size_t StreamSize(IStream& stream, HRESULT& code) {
  char block[65536];
  std::size_t total = 0;
  for (;;) {
    ULONG got = 0;
    code = stream.Read(block, sizeof block, &got);
    if (FAILED(code) || got == 0) return total;
    total += got;
  }
}

// The subject's length through GetProps; a PT_ERROR value's code goes to `code`.
std::size_t SubjectSize(IMAPIProp& object, HRESULT& code) {
  SPropTagArray tags{1, {PR_SUBJECT}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  code = object.GetProps(&tags, 0, &count, &values);
  std::size_t size = 0;
  if (SUCCEEDED(code) && PROP_TYPE(values[0].ulPropTag) == PT_ERROR) code = values[0].Value.err;
  if (SUCCEEDED(code)) size = std::strlen(values[0].Value.lpszA);
  mapi::MapiFreeBuffer(values);
  return size;
}

// Holds a raw interface pointer the library handed out; allocation-free.
template <typename T>
struct Held {
  T* p = nullptr;
  ~Held() {
    if (p) p->Release();
  }
  T** Out() { return &p; }
  template <typename U>
  U** As() {
    return reinterpret_cast<U**>(&p);
  }
};

void ReadRtf(IMessage& message, Outcome& out) {
  Held<IStream> compressed;
  out.code = message.OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, 0, 0, compressed.As<IUnknown>());
  if (FAILED(out.code)) return;
  Held<IStream> rtf;
  out.code = mapi::WrapCompressedRTFStream(compressed.p, 0, rtf.Out());
  if (SUCCEEDED(out.code)) out.rtf_size = StreamSize(*rtf.p, out.code);
}

void ReadAttachmentRows(IMessage& message, Outcome& out) {
  Held<IMAPITable> table;
  out.code = message.GetAttachmentTable(0, table.Out());
  if (FAILED(out.code)) return;
  SPropTagArray columns{1, {PR_ATTACH_NUM}};
  out.code = table.p->SetColumns(&columns, 0);
  LPSRowSet rows = nullptr;
  if (SUCCEEDED(out.code)) out.code = table.p->QueryRows(10, 0, &rows);
  if (SUCCEEDED(out.code)) out.attachment_rows = rows->cRows;
  mapi::FreeProws(rows);
}

void ReadAttachments(IMessage& message, Outcome& out) {
  Held<IAttach> file;
  out.code = message.OpenAttach(0, nullptr, 0, file.Out());
  if (FAILED(out.code)) return;
  Held<IStream> data;
  out.code = file.p->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, 0, data.As<IUnknown>());
  if (FAILED(out.code)) return;
  out.data_size = StreamSize(*data.p, out.code);
  if (FAILED(out.code)) return;
  Held<IAttach> embedded;
  out.code = message.OpenAttach(1, nullptr, 0, embedded.Out());
  if (FAILED(out.code)) return;
  Held<IMessage> inner;
  out.code =
      embedded.p->OpenProperty(PR_ATTACH_DATA_OBJ, &IID_IMessage, 0, 0, inner.As<IUnknown>());
  if (SUCCEEDED(out.code)) out.embedded_subject_size = SubjectSize(*inner.p, out.code);
}

Outcome ReadMessage(IMsgStore& store, SBinary id) {
  Outcome out;
  Held<IMessage> message;
  ULONG type = 0;
  out.code = store.OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), &IID_IMessage, 0, &type,
                             message.As<IUnknown>());
  if (FAILED(out.code)) return out;
  out.subject_size = SubjectSize(*message.p, out.code);
  if (SUCCEEDED(out.code)) ReadRtf(*message.p, out);
  if (SUCCEEDED(out.code)) ReadAttachmentRows(*message.p, out);
  if (SUCCEEDED(out.code)) ReadAttachments(*message.p, out);
  return out;
}

TEST(AllocationFailure, EveryFailedAllocationIsAnsweredWithACodeAndTheNextReadWorks) {
  OpenedStore opened = OpenStore(WriteMailFile("allocation_failures.pst"));
  ASSERT_TRUE(opened.store);
  std::vector<std::byte> entry_id = InboxEntryId(*opened.store, 1);
  ASSERT_FALSE(entry_id.empty());
  const SBinary id{static_cast<ULONG>(entry_id.size()), reinterpret_cast<LPBYTE>(entry_id.data())};

  const Outcome expected = ReadMessage(*opened.store, id);
  ASSERT_EQ(expected.code, S_OK);
  EXPECT_EQ(expected.subject_size, std::strlen(kSecondSubject));
  EXPECT_GE(expected.rtf_size, std::strlen(kRtfText));
  EXPECT_EQ(expected.attachment_rows, 2u);
  EXPECT_EQ(expected.data_size, kAttachmentSize);
  EXPECT_EQ(expected.embedded_subject_size, std::strlen(kEmbeddedSubject));

  std::int64_t failures = 0;
  for (std::int64_t n = 0;; ++n) {
    Outcome got;
    bool reached = false;
    {
      FailingAllocations failing(n);
      got = ReadMessage(*opened.store, id);
      reached = failing.failed();
    }
    if (!reached) break;
    ++failures;
    if (got.code == S_OK) {
      EXPECT_EQ(got, expected) << "allocation " << n;
    } else {
      EXPECT_EQ(got.code, MAPI_E_NOT_ENOUGH_MEMORY) << "allocation " << n;
    }
    ASSERT_EQ(ReadMessage(*opened.store, id), expected) << "after allocation " << n;
  }
  EXPECT_GT(failures, 100);  // the read allocates; a count this low would mean nothing was injected
}

}  // namespace
}  // namespace platform_mapilib_test
