// Walks one of the two B-trees (nodes or blocks): finds the leaf page that holds a key, and visits
// every leaf page once. Levels must fall by one from parent to child, which bounds every lookup;
// the full walk also remembers the pages it has seen so that shared or looping pointers cannot make
// it revisit a page.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/pst/ndb/block_ref.h"
#include "platform/pst/ndb/btree_page.h"
#include "platform/pst/ndb/file_source.h"
#include "platform/pst/ndb/format_layout.h"
#include "platform/pst/ndb/integrity_log.h"
#include "platform/pst/ndb/page_cache.h"
#include "platform/pst/result.h"

namespace pst::ndb {

class BTreeReader {
 public:
  static constexpr int kMaxLevel = 10;  // deeper trees are refused as damaged

  BTreeReader(const FileSource& file, const FormatLayout& layout, PageType type, BlockRef root,
              PageCache& cache, IntegrityLog& log)
      : file_(file), layout_(layout), type_(type), root_(root), cache_(cache), log_(log) {}

  // Reads, checks and caches one page.
  Result<std::shared_ptr<const BTreePage>> LoadPage(const BlockRef& ref) const;
  // The leaf page whose key range covers key; kNotFound when the key is below every entry.
  Result<std::shared_ptr<const BTreePage>> FindLeaf(std::uint64_t key) const;
  // Calls visit for every leaf page in key order until it returns false.
  Status VisitLeaves(const std::function<bool(const BTreePage&)>& visit) const;

  const char* name() const { return type_ == PageType::kNodeBTree ? "node" : "block"; }

 private:
  // A page of the tree at the wanted level (any when negative); a page that cannot be used is also
  // noted in the integrity log, since a lookup through it may end as "not found".
  Result<std::shared_ptr<const BTreePage>> LoadChild(const BlockRef& ref, int want_level) const;
  Result<std::shared_ptr<const BTreePage>> LoadChecked(const BlockRef& ref, int want_level) const;

  const FileSource& file_;
  const FormatLayout& layout_;
  PageType type_;
  BlockRef root_;
  PageCache& cache_;
  IntegrityLog& log_;
};

}  // namespace pst::ndb
