// Cursor, columns and row batches of a table.
#include "platform/mapilib/table_object.h"

#include <algorithm>
#include <limits>

#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/mapi_error.h"

namespace mapilib {
namespace {

// Owns a row set being filled until it is handed out.
struct RowSetFree {
  void operator()(LPSRowSet rows) const noexcept { FreeRowSet(rows); }
};

}  // namespace

TableObject::TableObject(std::unique_ptr<RowSource> source)
    : source_(std::move(source)), columns_(source_->DefaultColumns()) {}

HRESULT TableObject::GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept {
  return Guarded("TableObject::GetLastError",
                 [&]() -> HRESULT { return MakeMapiErrorRecord(last_error_, error); });
}

HRESULT TableObject::GetStatus(ULONG* status, ULONG* type) noexcept {
  return Guarded("TableObject::GetStatus", [&]() -> HRESULT {
    if (status) *status = 0;  // TBLSTAT_COMPLETE
    if (type) *type = 1;      // TBLTYPE_SNAPSHOT
    return S_OK;
  });
}

HRESULT TableObject::SetColumns(LPSPropTagArray tags, ULONG) noexcept {
  return Guarded("TableObject::SetColumns", [&]() -> HRESULT {
    if (!tags) return MAPI_E_INVALID_PARAMETER;
    columns_.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    return S_OK;
  });
}

HRESULT TableObject::QueryColumns(ULONG, LPSPropTagArray* tags) noexcept {
  return Guarded("TableObject::QueryColumns", [&]() -> HRESULT {
    if (!tags) return MAPI_E_INVALID_PARAMETER;
    auto* out = static_cast<LPSPropTagArray>(AllocateBuffer(CbNewSPropTagArray(columns_.size())));
    if (!out) return MAPI_E_NOT_ENOUGH_MEMORY;
    out->cValues = static_cast<ULONG>(columns_.size());
    std::copy(columns_.begin(), columns_.end(), out->aulPropTag);
    *tags = out;
    return S_OK;
  });
}

HRESULT TableObject::GetRowCount(ULONG, ULONG* count) noexcept {
  return Guarded("TableObject::GetRowCount", [&]() -> HRESULT {
    if (!count) return MAPI_E_INVALID_PARAMETER;
    *count = static_cast<ULONG>(source_->row_count());
    return S_OK;
  });
}

HRESULT TableObject::SeekRow(BOOKMARK origin, LONG rows, LONG* sought) noexcept {
  return Guarded("TableObject::SeekRow", [&]() -> HRESULT {
    const auto total = static_cast<std::int64_t>(source_->row_count());
    std::int64_t base = 0;
    if (origin == BOOKMARK_CURRENT)
      base = static_cast<std::int64_t>(cursor_);
    else if (origin == BOOKMARK_END)
      base = total;
    else if (origin != BOOKMARK_BEGINNING)
      return MAPI_E_INVALID_BOOKMARK;
    const std::int64_t target = std::clamp<std::int64_t>(base + rows, 0, total);
    if (sought) *sought = static_cast<LONG>(target - base);
    cursor_ = static_cast<std::size_t>(target);
    return S_OK;
  });
}

HRESULT TableObject::SeekRowApprox(ULONG numerator, ULONG denominator) noexcept {
  return Guarded("TableObject::SeekRowApprox", [&]() -> HRESULT {
    if (denominator == 0) return MAPI_E_INVALID_PARAMETER;
    const std::uint64_t total = source_->row_count();
    cursor_ =
        static_cast<std::size_t>(std::min<std::uint64_t>(total, total * numerator / denominator));
    return S_OK;
  });
}

HRESULT TableObject::QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) noexcept {
  return Guarded("TableObject::QueryPosition", [&]() -> HRESULT {
    if (row) *row = static_cast<ULONG>(cursor_);
    if (numerator) *numerator = static_cast<ULONG>(cursor_);
    if (denominator)
      *denominator = static_cast<ULONG>(std::max<std::size_t>(1, source_->row_count()));
    return S_OK;
  });
}

HRESULT TableObject::WaitForCompletion(ULONG, ULONG, ULONG* status) noexcept {
  return Guarded("TableObject::WaitForCompletion", [&]() -> HRESULT {
    if (status) *status = 0;
    return S_OK;
  });
}

HRESULT TableObject::QueryRows(LONG count, ULONG flags, LPSRowSet* rows) noexcept {
  return Guarded("TableObject::QueryRows", [&]() -> HRESULT {
    if (!rows) return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    if (count < 0) return MAPI_E_INVALID_PARAMETER;  // reading backwards is not offered
    const std::size_t total = source_->row_count();
    const std::size_t start = std::min(cursor_, total);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), total - start);
    std::unique_ptr<SRowSet, RowSetFree> owned(
        static_cast<LPSRowSet>(AllocateBuffer(CbNewSRowSet(std::max<std::size_t>(n, 1)))));
    if (!owned) return MAPI_E_NOT_ENOUGH_MEMORY;
    SRowSet* set = owned.get();
    for (std::size_t i = 0; i < n; ++i) {
      auto* values = static_cast<LPSPropValue>(
          AllocateBuffer(sizeof(SPropValue) * std::max<std::size_t>(columns_.size(), 1)));
      if (!values) return MAPI_E_NOT_ENOUGH_MEMORY;
      set->aRow[i].lpProps = values;
      set->aRow[i].cValues = static_cast<ULONG>(columns_.size());
      set->cRows = static_cast<ULONG>(i + 1);
      const HRESULT hr = source_->FillRow(start + i, columns_, values, values);
      if (FAILED(hr)) {
        last_error_ = "a row of the table could not be read";
        return hr;
      }
    }
    set->cRows = static_cast<ULONG>(n);
    if (!(flags & TBL_NOADVANCE)) cursor_ = start + n;
    *rows = owned.release();
    return S_OK;
  });
}

void FreeRowSet(LPSRowSet rows) noexcept {
  if (!rows) return;
  for (ULONG i = 0; i < rows->cRows; ++i) FreeBuffer(rows->aRow[i].lpProps);
  FreeBuffer(rows);
}

}  // namespace mapilib
