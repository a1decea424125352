// Test objects of the mail library's interfaces.
#include "tests/compose/fake_message.h"

#include <cstring>

#include "libs/mapi/mapi_binding.h"
#include "tests/compose/in_memory_istream.h"
#include "tests/import_session/session_fake_defaults.h"

namespace compose_test {
namespace {

int live_objects = 0;

// Copies bytes into MAPI memory tied to parent.
void* CopyMore(const void* bytes, std::size_t size, void* parent) {
  void* out = nullptr;
  if (FAILED(mapi::MAPIAllocateMore(static_cast<ULONG>(size), parent, &out)))
    throw std::bad_alloc();
  if (size) std::memcpy(out, bytes, size);
  return out;
}

void FillValue(SPropValue& out, ULONG tag, const PropMap& props, void* parent) {
  auto it = props.find(tag);
  if (it == props.end()) {
    out.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tag));
    out.Value.err = MAPI_E_NOT_FOUND;
    return;
  }
  out.ulPropTag = tag;
  const PropValue& v = it->second;
  switch (PROP_TYPE(tag)) {
    case PT_LONG:
      out.Value.ul = std::get<ULONG>(v);
      break;
    case PT_BOOLEAN:
      out.Value.b = static_cast<unsigned short>(std::get<ULONG>(v));
      break;
    case PT_STRING8: {
      const std::string& s = std::get<std::string>(v);
      out.Value.lpszA = static_cast<char*>(CopyMore(s.c_str(), s.size() + 1, parent));
      break;
    }
    case PT_BINARY: {
      const std::string& s = std::get<std::string>(v);
      out.Value.bin.cb = static_cast<ULONG>(s.size());
      out.Value.bin.lpb = static_cast<BYTE*>(CopyMore(s.data(), s.size(), parent));
      break;
    }
    case PT_UNICODE: {
      const std::u16string& s = std::get<std::u16string>(v);
      out.Value.lpszW =
          static_cast<WCHAR*>(CopyMore(s.c_str(), (s.size() + 1) * sizeof(WCHAR), parent));
      break;
    }
    case PT_SYSTIME: {
      const unsigned long long ticks = std::get<unsigned long long>(v);
      out.Value.ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
      break;
    }
    default:
      out.Value.x = 0;
  }
}

// Values for tags from props, in one MAPI buffer (strings tied to it).
LPSPropValue NewValues(const SPropTagArray& tags, const PropMap& props, bool& any_missing) {
  void* buffer = nullptr;
  const ULONG count = tags.cValues;
  if (FAILED(mapi::MAPIAllocateBuffer(static_cast<ULONG>(sizeof(SPropValue) * (count ? count : 1)),
                                      &buffer))) {
    throw std::bad_alloc();
  }
  auto* values = static_cast<LPSPropValue>(buffer);
  any_missing = false;
  for (ULONG i = 0; i < count; ++i) {
    FillValue(values[i], tags.aulPropTag[i], props, buffer);
    any_missing = any_missing || PROP_TYPE(values[i].ulPropTag) == PT_ERROR;
  }
  return values;
}

template <typename Base>
class Counted : public Base {
 public:
  Counted() { ++live_objects; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --live_objects;
      delete this;
    }
    return left;
  }

 protected:
  virtual ~Counted() = default;

 private:
  ULONG references_ = 1;
};

// A counted object whose IMAPIProp methods the composer never calls answer MAPI_E_NO_SUPPORT.
template <typename Base>
class PropObject : public Counted<session_fake::PropDefaults<Base>> {
 protected:
  HRESULT ValuesOf(const PropMap& props, LPSPropTagArray tags, ULONG* count, LPSPropValue* out) {
    if (!tags) return E_INVALIDARG;
    bool any_missing = false;
    *out = NewValues(*tags, props, any_missing);
    *count = tags->cValues;
    return any_missing ? MAPI_W_ERRORS_RETURNED : S_OK;
  }
};

class FakeTable final : public Counted<IMAPITable> {
 public:
  explicit FakeTable(std::vector<PropMap> rows) : rows_(std::move(rows)) {}

  HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG) override {
    columns_.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG, LPSRowSet* out) override {
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), rows_.size() - cursor_);
    void* buffer = nullptr;
    if (FAILED(mapi::MAPIAllocateBuffer(static_cast<ULONG>(CbNewSRowSet(n ? n : 1)), &buffer))) {
      return E_OUTOFMEMORY;
    }
    auto* set = static_cast<LPSRowSet>(buffer);
    set->cRows = static_cast<ULONG>(n);
    std::vector<ULONG> tag_storage(columns_);
    tag_storage.insert(tag_storage.begin(), static_cast<ULONG>(columns_.size()));
    const auto* tags = reinterpret_cast<const SPropTagArray*>(tag_storage.data());
    for (std::size_t i = 0; i < n; ++i) {
      bool any_missing = false;
      set->aRow[i].ulAdrEntryPad = 0;
      set->aRow[i].cValues = static_cast<ULONG>(columns_.size());
      set->aRow[i].lpProps = NewValues(*tags, rows_[cursor_ + i], any_missing);
    }
    cursor_ += n;
    *out = set;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Advise(ULONG, LPMAPIADVISESINK, ULONG_PTR*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStatus(ULONG*, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryColumns(ULONG, LPSPropTagArray*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRowCount(ULONG, ULONG* count) override {
    *count = static_cast<ULONG>(rows_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK, LONG, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG, ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryPosition(ULONG*, ULONG*, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction, BOOKMARK, ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction, ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet, ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Abort() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override {
    return E_NOTIMPL;
  }

 private:
  std::vector<PropMap> rows_;
  std::vector<ULONG> columns_;
  std::size_t cursor_ = 0;
};

class FakeAttach final : public PropObject<IAttach> {
 public:
  FakeAttach(std::shared_ptr<MessageData> owner, std::size_t index)
      : owner_(std::move(owner)), data_(owner_->attachments[index]) {}

  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG, ULONG* count,
                                     LPSPropValue* out) override {
    return ValuesOf(data_.props, tags, count, out);
  }
  HRESULT STDMETHODCALLTYPE OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG,
                                         LPUNKNOWN* out) override {
    if (tag == PR_ATTACH_DATA_BIN && *iid == IID_IStream && data_.data) {
      *out = new InMemoryIStream(data_.data->bytes, data_.data->fail_after);
      return S_OK;
    }
    if (tag == PR_ATTACH_DATA_OBJ && *iid == IID_IMessage && data_.embedded) {
      *out = NewFakeMessage(data_.embedded);
      return S_OK;
    }
    return MAPI_E_NOT_FOUND;
  }

 private:
  std::shared_ptr<MessageData> owner_;
  const AttachmentData& data_;
};

class FakeMessage final : public PropObject<IMessage> {
 public:
  explicit FakeMessage(std::shared_ptr<MessageData> data) : data_(std::move(data)) {}

  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG, ULONG* count,
                                     LPSPropValue* out) override {
    return ValuesOf(data_->props, tags, count, out);
  }
  HRESULT STDMETHODCALLTYPE OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG,
                                         LPUNKNOWN* out) override {
    auto it = data_->streams.find(tag);
    if (it == data_->streams.end() || !(*iid == IID_IStream)) return MAPI_E_NOT_FOUND;
    *out = new InMemoryIStream(it->second.bytes, it->second.fail_after, it->second.stated_size);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, LPMAPITABLE* out) override {
    if (data_->attachment_table_fails) return MAPI_E_CORRUPT_DATA;
    std::vector<PropMap> rows;
    for (std::size_t i = 0; i < data_->attachments.size(); ++i) {
      PropMap row = data_->attachments[i].props;
      row[PR_ATTACH_NUM] = static_cast<ULONG>(i);
      rows.push_back(std::move(row));
    }
    *out = new FakeTable(std::move(rows));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OpenAttach(ULONG number, LPCIID, ULONG, LPATTACH* out) override {
    if (number >= data_->attachments.size() || !data_->attachments[number].opens) {
      return MAPI_E_NOT_FOUND;
    }
    *out = new FakeAttach(data_, number);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG, LPMAPITABLE* out) override {
    if (data_->recipient_table_fails) return MAPI_E_CORRUPT_DATA;
    *out = new FakeTable(data_->recipients);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG, LPADRLIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG) override { return E_NOTIMPL; }

 private:
  std::shared_ptr<MessageData> data_;
};

}  // namespace

IMessage* NewFakeMessage(std::shared_ptr<MessageData> data) {
  return new FakeMessage(std::move(data));
}

int LiveFakeObjects() { return live_objects + InMemoryIStream::Live(); }

StreamData Bytes(std::string bytes) { return StreamData{std::move(bytes), -1, std::nullopt}; }

}  // namespace compose_test
