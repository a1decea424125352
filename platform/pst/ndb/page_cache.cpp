// The B-tree page cache.
#include "platform/pst/ndb/page_cache.h"

namespace pst::ndb {

std::shared_ptr<const BTreePage> PageCache::Find(std::uint64_t ib, PageType type) {
  std::lock_guard<std::mutex> lock(mu_);
  auto it = index_.find({ib, type});
  if (it == index_.end()) return nullptr;
  lru_.splice(lru_.begin(), lru_, it->second);
  return it->second->second;
}

void PageCache::Insert(std::uint64_t ib, PageType type, std::shared_ptr<const BTreePage> page) {
  if (capacity_ == 0) return;
  std::lock_guard<std::mutex> lock(mu_);
  Key key{ib, type};
  if (auto it = index_.find(key); it != index_.end()) {
    it->second->second = std::move(page);
    lru_.splice(lru_.begin(), lru_, it->second);
    return;
  }
  lru_.emplace_front(key, std::move(page));
  index_[key] = lru_.begin();
  if (lru_.size() > capacity_) {
    index_.erase(lru_.back().first);
    lru_.pop_back();
  }
}

std::size_t PageCache::size() const {
  std::lock_guard<std::mutex> lock(mu_);
  return lru_.size();
}

}  // namespace pst::ndb
