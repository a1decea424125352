// A small least-recently-used cache of decoded B-tree pages, so that lookups that share the upper
// levels of a tree do not read and check those pages again. Its size is fixed: memory does not grow
// with the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/pst/ndb/btree_page.h"

namespace pst::ndb {

class PageCache {
 public:
  explicit PageCache(std::size_t capacity) : capacity_(capacity) {}

  // The page cached for (offset, type), or null.
  std::shared_ptr<const BTreePage> Find(std::uint64_t ib, PageType type);
  void Insert(std::uint64_t ib, PageType type, std::shared_ptr<const BTreePage> page);
  std::size_t size() const;

 private:
  using Key = std::pair<std::uint64_t, PageType>;
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<std::uint64_t>()(k.first * 2 + (k.second == PageType::kNodeBTree ? 1 : 0));
    }
  };
  using Lru = std::list<std::pair<Key, std::shared_ptr<const BTreePage>>>;

  std::size_t capacity_;
  mutable std::mutex mu_;
  Lru lru_;  // most recently used first
  std::unordered_map<Key, Lru::iterator, KeyHash> index_;
};

}  // namespace pst::ndb
