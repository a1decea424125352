// libFuzzer target: opens the input as a whole file image and walks every node of the node B-tree,
// reading all data (whole, by block and by range) and every subnode, as the layers above would.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/pst/ndb/node_database.h"

namespace {

constexpr std::uint64_t kMaxRead = 1u << 22;
constexpr int kMaxSubnodeLevels = 4;

void Exercise(const pst::Node& node, int depth) {
  (void)node.ReadAll(kMaxRead);
  for (std::size_t i = 0; i < node.block_count() && i < 64; ++i) (void)node.ReadBlock(i);
  std::byte window[300];
  if (node.size() > 0) (void)node.ReadAt(node.size() / 2, window);
  if (depth >= kMaxSubnodeLevels) return;
  auto ids = node.SubnodeIds();
  if (!ids.ok()) return;
  for (std::size_t i = 0; i < ids->size() && i < 256; ++i) {
    auto sub = node.OpenSubnode((*ids)[i]);
    if (sub.ok()) Exercise(**sub, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> image(size);
  if (size > 0) std::memcpy(image.data(), data, size);
  auto db = pst::NodeDatabase::Open(pst::FileSource::FromMemory(std::move(image)));
  if (!db.ok()) return 0;
  std::size_t visited = 0;
  (void)(*db)->VisitNodes([&](const pst::NodeEntry& e) {
    auto node = (*db)->OpenNode(e.nid);
    if (node.ok()) Exercise(**node, 0);
    return ++visited < 4096;
  });
  (void)(*db)->VisitBlocks([](const pst::BlockEntry&) { return true; });
  return 0;
}
