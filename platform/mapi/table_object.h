// IMAPITable over a source of rows: the caller chooses columns (SetColumns), reads rows in batches
// from a cursor (QueryRows, SeekRow) and counts them (GetRowCount). Rows come in the source's order;
// restrictions and sorting are not offered.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/mapi/counted_object.h"

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

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override;
  HRESULT STDMETHODCALLTYPE Advise(ULONG, LPMAPIADVISESINK, ULONG_PTR*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE GetStatus(ULONG* status, ULONG* type) override;
  HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE QueryColumns(ULONG flags, LPSPropTagArray* tags) override;
  HRESULT STDMETHODCALLTYPE GetRowCount(ULONG flags, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK origin, LONG rows, LONG* sought) override;
  HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG numerator, ULONG denominator) override;
  HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* row, ULONG* numerator,
                                          ULONG* denominator) override;
  HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction, BOOKMARK, ULONG) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction restriction, ULONG) override {
    return restriction ? MAPI_E_TOO_COMPLEX : S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet sort, ULONG) override {
    return sort && sort->cSorts ? MAPI_E_TOO_COMPLEX : S_OK;
  }
  HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, LPSRowSet* rows) override;
  HRESULT STDMETHODCALLTYPE Abort() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG* status) override;
  HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override {
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
void FreeRowSet(LPSRowSet rows);

}  // namespace mapilib
