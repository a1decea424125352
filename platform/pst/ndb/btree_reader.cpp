// B-tree lookups and the full leaf walk.
#include "platform/pst/ndb/btree_reader.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/pst/util/hex.h"

namespace pst::ndb {

Result<std::shared_ptr<const BTreePage>> BTreeReader::LoadPage(const BlockRef& ref) const {
  if (auto hit = cache_.Find(ref.ib, type_)) return hit;
  std::vector<std::byte> raw(layout_.page_size);
  Status read = file_.ReadExact(ref.ib, raw);
  if (!read.ok()) {
    return Status(read.code(), std::string(name()) + " B-tree page " + util::Hex(ref.bid) + ": " +
                                   read.message());
  }
  auto page = BTreePage::Decode(raw, layout_, type_, ref);
  if (!page.ok()) {
    return Status(page.status().code(), std::string(name()) + " " + page.status().message());
  }
  const std::string where = std::string(name()) + " B-tree page " + util::Hex(ref.bid) +
                            " at offset " + util::Hex(ref.ib);
  if (!page->crc_ok()) log_.SharedPageChecksumMismatch(ref.ib, where);
  if (!page->signature_ok()) log_.SharedPageSignatureMismatch(ref.ib, where);
  auto shared = std::make_shared<const BTreePage>(std::move(page).value());
  cache_.Insert(ref.ib, type_, shared);
  return shared;
}

Result<std::shared_ptr<const BTreePage>> BTreeReader::LoadChild(const BlockRef& ref,
                                                                int want_level) const {
  auto page = LoadChecked(ref, want_level);
  if (!page.ok()) log_.Lost(page.status().message());
  return page;
}

Result<std::shared_ptr<const BTreePage>> BTreeReader::LoadChecked(const BlockRef& ref,
                                                                  int want_level) const {
  auto page = LoadPage(ref);
  PST_RETURN_IF_ERROR(page);
  const int level = (*page)->level();
  if ((want_level < 0 && level > kMaxLevel) || (want_level >= 0 && level != want_level)) {
    return Status::Corrupt(
        std::string(name()) + " B-tree page " + util::Hex(ref.bid) + " has level " +
        std::to_string(level) + " where " +
        (want_level < 0 ? "at most " + std::to_string(kMaxLevel) : std::to_string(want_level)) +
        " was expected");
  }
  return page;
}

Result<std::shared_ptr<const BTreePage>> BTreeReader::FindLeaf(std::uint64_t key) const {
  auto page = LoadChild(root_, -1);
  PST_RETURN_IF_ERROR(page);
  std::shared_ptr<const BTreePage> current = *page;
  while (current->level() > 0) {
    const BtEntry* chosen = nullptr;
    for (const BtEntry& e : current->children()) {
      if (e.key <= key && (chosen == nullptr || e.key >= chosen->key)) chosen = &e;
    }
    if (chosen == nullptr) {
      return Status::NotFound(std::string("key ") + util::Hex(key) + " not in the " + name() +
                              " B-tree");
    }
    auto child = LoadChild(chosen->child, current->level() - 1);
    PST_RETURN_IF_ERROR(child);
    current = *child;
  }
  return current;
}

Status BTreeReader::VisitLeaves(const std::function<bool(const BTreePage&)>& visit) const {
  auto root = LoadChild(root_, -1);
  PST_RETURN_IF_ERROR(root);
  struct Pending {
    std::shared_ptr<const BTreePage> page;
    std::size_t next = 0;  // next child to descend into
  };
  std::vector<Pending> stack{{*root, 0}};
  std::unordered_set<std::uint64_t> seen{root_.ib};
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.page->level() == 0) {
      if (!visit(*top.page)) return Status::Ok();
      stack.pop_back();
      continue;
    }
    if (top.next == top.page->children().size()) {
      stack.pop_back();
      continue;
    }
    const BlockRef ref = top.page->children()[top.next++].child;
    const int want = top.page->level() - 1;
    if (!seen.insert(ref.ib).second) {
      return Status::Corrupt(std::string(name()) + " B-tree page " + util::Hex(ref.bid) +
                             " at offset " + util::Hex(ref.ib) + " is referenced twice");
    }
    auto child = LoadChild(ref, want);
    PST_RETURN_IF_ERROR(child);
    stack.push_back({*child, 0});
  }
  return Status::Ok();
}

}  // namespace pst::ndb
