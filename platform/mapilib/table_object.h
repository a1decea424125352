// IMAPITable over a source of rows: the caller chooses columns (SetColumns), reads rows in batches
// from a cursor (QueryRows, SeekRow) and counts them (GetRowCount). Rows come in the source's
// order; restrictions and sorting are not offered.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/counted_object.h"

namespace mapilib {

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual std::size_t row_count() const = 0;
  // The columns a table shows before SetColumns.
  virtual std::vector<ULONG> DefaultColumns() const = 0;
  // Fills one value per tag of row `index` into `out`, tied to `parent`. A value that cannot be
  // given becomes PT_ERROR; a failure of the row itself is returned.
  virtual HRESULT FillRow(std::size_t index, std::span<const ULONG> tags, void* parent,
                          SPropValue* out) = 0;
};

class TableObject final : public CountedObject<IMAPITable> {
 public:
  explicit TableObject(std::unique_ptr<RowSource> source);

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override;
  HRESULT STDMETHODCALLTYPE Advise(ULONG, LPMAPIADVISESINK, ULONG_PTR*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR) noexcept override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetStatus(ULONG* status, ULONG* type) noexcept override;
  HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG flags) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryColumns(ULONG flags, LPSPropTagArray* tags) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRowCount(ULONG flags, ULONG* count) noexcept override;
  HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK origin, LONG rows, LONG* sought) noexcept override;
  HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG numerator, ULONG denominator) noexcept override;
  HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* row, ULONG* numerator,
                                          ULONG* denominator) noexcept override;
  HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction, BOOKMARK, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction restriction, ULONG) noexcept override {
    return Guarded("TableObject::Restrict",
                   [&]() -> HRESULT { return restriction ? MAPI_E_TOO_COMPLEX : S_OK; });
  }
  HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK) noexcept override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet sort, ULONG) noexcept override {
    return Guarded("TableObject::SortTable",
                   [&]() -> HRESULT { return sort && sort->cSorts ? MAPI_E_TOO_COMPLEX : S_OK; });
  }
  HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, LPSRowSet* rows) noexcept override;
  HRESULT STDMETHODCALLTYPE Abort() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*,
                                      ULONG*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG* status) noexcept override;
  HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*,
                                             LPBYTE*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IMAPITable}); }

  std::unique_ptr<RowSource> source_;
  std::vector<ULONG> columns_;
  std::size_t cursor_ = 0;
  std::string last_error_;
};

// Releases a row set and every row's values.
void FreeRowSet(LPSRowSet rows) noexcept;

}  // namespace mapilib
