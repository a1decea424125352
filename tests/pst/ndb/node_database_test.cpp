// The node database over images built in the test: nodes of one block and of data trees in every
// variant and encoding, ranges, subnode trees, and damaged structures that must fail alone.
#include "platform/pst/ndb/node_database.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ndb_image_builder.h"
#include "platform/pst/ndb/file_header.h"

namespace pst::ndb {
namespace {

using testing::Bytes;
using testing::NdbImageBuilder;
using testing::Pattern;

std::unique_ptr<NodeDatabase> OpenImage(std::vector<std::byte> image) {
  auto db = NodeDatabase::Open(FileSource::FromMemory(std::move(image)));
  EXPECT_TRUE(db.ok()) << db.status().message();
  return db.ok() ? std::move(db).value() : nullptr;
}

std::vector<std::byte> Concat(std::initializer_list<std::vector<std::byte>> parts) {
  std::vector<std::byte> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct EncodingCase {
  FormatVariant variant;
  CryptMethod crypt;
  bool compress;
};

class SingleBlockNode : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(SingleBlockNode, ReadsBackThePlainData) {
  const auto& c = GetParam();
  NdbImageBuilder b(c.variant, c.crypt);
  auto text = Bytes("a heap page would sit here, but any bytes do: 0123456789 0123456789");
  b.AddNode(0x122, b.AddDataBlock(text, c.compress));
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  auto node = db->OpenNode(0x122);
  ASSERT_TRUE(node.ok()) << node.status().message();
  EXPECT_EQ((*node)->id(), 0x122u);
  EXPECT_EQ((*node)->size(), text.size());
  EXPECT_EQ((*node)->block_count(), 1u);
  auto all = (*node)->ReadAll(1 << 20);
  ASSERT_TRUE(all.ok()) << all.status().message();
  EXPECT_EQ(*all, text);
  EXPECT_EQ(db->integrity().checksum_mismatches, 0u);
  EXPECT_EQ(db->integrity().signature_mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    All, SingleBlockNode,
    ::testing::Values(EncodingCase{FormatVariant::kAnsi, CryptMethod::kNone, false},
                      EncodingCase{FormatVariant::kAnsi, CryptMethod::kPermute, false},
                      EncodingCase{FormatVariant::kAnsi, CryptMethod::kCyclic, false},
                      EncodingCase{FormatVariant::kUnicode, CryptMethod::kPermute, false},
                      EncodingCase{FormatVariant::kUnicode, CryptMethod::kCyclic, false},
                      EncodingCase{FormatVariant::kUnicode4k, CryptMethod::kNone, false},
                      EncodingCase{FormatVariant::kUnicode4k, CryptMethod::kNone, true},
                      EncodingCase{FormatVariant::kUnicode4k, CryptMethod::kPermute, true}));

class DataTreeNode : public ::testing::TestWithParam<FormatVariant> {
 protected:
  // Blocks of unequal sizes so that block boundaries are not at multiples of one size.
  void SetUp() override {
    NdbImageBuilder b(GetParam(), CryptMethod::kCyclic);
    pieces_ = {Pattern(1000, 1), Pattern(37, 2), Pattern(4000, 3), Pattern(1, 4), Pattern(222, 5)};
    expected_ = Concat({pieces_[0], pieces_[1], pieces_[2], pieces_[3], pieces_[4]});
    std::vector<BlockId> bids;
    for (const auto& p : pieces_) bids.push_back(b.AddDataBlock(p));
    const auto total = static_cast<std::uint32_t>(expected_.size());
    b.AddNode(0x8024, b.AddDataTree(1, bids, total));
    BlockId x1 = b.AddDataTree(1, {bids[0], bids[1]}, 1037);
    BlockId x2 = b.AddDataTree(1, {bids[2], bids[3], bids[4]}, total - 1037);
    b.AddNode(0x8044, b.AddDataTree(2, {x1, x2}, total));
    db_ = OpenImage(b.Build());
    ASSERT_TRUE(db_);
  }

  std::vector<std::vector<std::byte>> pieces_;
  std::vector<std::byte> expected_;
  std::unique_ptr<NodeDatabase> db_;
};

TEST_P(DataTreeNode, ExposesEveryBlockInOrder) {
  for (NodeId nid : {0x8024u, 0x8044u}) {
    auto node = db_->OpenNode(nid);
    ASSERT_TRUE(node.ok()) << node.status().message();
    EXPECT_EQ((*node)->size(), expected_.size());
    ASSERT_EQ((*node)->block_count(), pieces_.size());
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      auto block = (*node)->ReadBlock(i);
      ASSERT_TRUE(block.ok()) << block.status().message();
      EXPECT_EQ(*block, pieces_[i]) << "block " << i;
    }
    EXPECT_EQ((*node)->ReadBlock(pieces_.size()).status().code(), ErrorCode::kNotFound);
    auto all = (*node)->ReadAll(expected_.size());
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(*all, expected_);
  }
}

TEST_P(DataTreeNode, ReadsRangesAcrossBlockBoundaries) {
  auto node = db_->OpenNode(0x8044);
  ASSERT_TRUE(node.ok());
  const std::pair<std::uint64_t, std::size_t> ranges[] = {
      {0, 1}, {999, 2}, {1000, 37}, {990, 5000}, {1036, 4002}, {5036, 3}, {5000, 1000}, {5259, 1}};
  for (auto [offset, length] : ranges) {
    std::vector<std::byte> out(length);
    auto n = (*node)->ReadAt(offset, out);
    ASSERT_TRUE(n.ok()) << n.status().message();
    const std::size_t want = std::min<std::size_t>(length, expected_.size() - offset);
    ASSERT_EQ(*n, want) << offset;
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(want),
                           expected_.begin() + static_cast<std::ptrdiff_t>(offset)))
        << "offset " << offset << " length " << length;
  }
  std::vector<std::byte> out(10);
  auto past = (*node)->ReadAt(expected_.size(), out);
  ASSERT_TRUE(past.ok());
  EXPECT_EQ(*past, 0u);
}

TEST_P(DataTreeNode, ReadAllRefusesDataAboveTheLimit) {
  auto node = db_->OpenNode(0x8024);
  ASSERT_TRUE(node.ok());
  EXPECT_EQ((*node)->ReadAll(expected_.size() - 1).status().code(), ErrorCode::kLimit);
}

INSTANTIATE_TEST_SUITE_P(All, DataTreeNode,
                         ::testing::Values(FormatVariant::kAnsi, FormatVariant::kUnicode,
                                           FormatVariant::kUnicode4k));

class SubnodeTree : public ::testing::TestWithParam<FormatVariant> {};

TEST_P(SubnodeTree, FindsSubnodesThroughLeafAndIndexBlocks) {
  NdbImageBuilder b(GetParam());
  BlockId inner_data = b.AddDataBlock(Bytes("inner"));
  BlockId inner_tree = b.AddSubnodeLeaf({{0x3F, inner_data, 0}});
  BlockId d1 = b.AddDataBlock(Bytes("first"));
  BlockId d2 = b.AddDataBlock(Bytes("second"));
  BlockId d3 = b.AddDataBlock(Bytes("third"));
  BlockId leaf1 = b.AddSubnodeLeaf({{0x21F, d1, 0}, {0x23F, d2, inner_tree}});
  BlockId leaf2 = b.AddSubnodeLeaf({{0x8025, d3, 0}});
  BlockId index = b.AddSubnodeIndex({{0x21F, leaf1}, {0x8025, leaf2}});
  b.AddNode(0x200024, b.AddDataBlock(Bytes("message")), index);
  b.AddNode(0x200044, b.AddDataBlock(Bytes("other")), leaf2);
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);

  auto msg = db->OpenNode(0x200024);
  ASSERT_TRUE(msg.ok()) << msg.status().message();
  auto ids = (*msg)->SubnodeIds();
  ASSERT_TRUE(ids.ok()) << ids.status().message();
  EXPECT_EQ(*ids, (std::vector<NodeId>{0x21F, 0x23F, 0x8025}));
  const std::pair<NodeId, const char*> expect[] = {
      {0x21F, "first"}, {0x23F, "second"}, {0x8025, "third"}};
  for (auto [nid, text] : expect) {
    auto sub = (*msg)->OpenSubnode(nid);
    ASSERT_TRUE(sub.ok()) << sub.status().message();
    EXPECT_EQ(*(*sub)->ReadAll(100), Bytes(text));
  }
  auto nested = (*msg)->OpenSubnode(0x23F);
  ASSERT_TRUE(nested.ok());
  auto inner = (*nested)->OpenSubnode(0x3F);
  ASSERT_TRUE(inner.ok()) << inner.status().message();
  EXPECT_EQ(*(*inner)->ReadAll(100), Bytes("inner"));

  EXPECT_EQ((*msg)->OpenSubnode(0x2FF).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ((*msg)->OpenSubnode(0x1).status().code(), ErrorCode::kNotFound);
  auto none = db->OpenNode(0x200044);
  ASSERT_TRUE(none.ok());
  EXPECT_EQ(*(*none)->SubnodeIds(), std::vector<NodeId>{0x8025});
}

TEST_P(SubnodeTree, SelfReferencingSubnodeIsRefused) {
  NdbImageBuilder b(GetParam());
  BlockId data = b.AddDataBlock(Bytes("loop"));
  // The leaf's only entry names the leaf itself as its subnode tree: the leaf will get the next
  // internal bid, which the builder hands out in order.
  BlockId predicted = b.AddDataBlock(Bytes("x")) + 4 + 2;
  BlockId leaf = b.AddSubnodeLeaf({{0x61F, data, predicted}});
  ASSERT_EQ(leaf, predicted);
  b.AddNode(0x200024, data, leaf);
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  auto msg = db->OpenNode(0x200024);
  ASSERT_TRUE(msg.ok());
  auto sub = (*msg)->OpenSubnode(0x61F);
  ASSERT_FALSE(sub.ok());
  EXPECT_EQ(sub.status().code(), ErrorCode::kCorrupt);
  EXPECT_NE(sub.status().message().find("refers back"), std::string::npos)
      << sub.status().message();
}

INSTANTIATE_TEST_SUITE_P(All, SubnodeTree,
                         ::testing::Values(FormatVariant::kAnsi, FormatVariant::kUnicode,
                                           FormatVariant::kUnicode4k));

TEST(NodeBTree, ListsAndFindsNodesOfAMultiLevelTree) {
  NdbImageBuilder b(FormatVariant::kUnicode);
  BlockId data = b.AddDataBlock(Bytes("shared"));
  std::vector<NodeId> nids;
  for (NodeId i = 0; i < 100; ++i) {
    nids.push_back(0x10000 + i * 0x20 + 4);
    b.AddNode(nids.back(), data, 0, 0x122);
  }
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  std::vector<NodeId> seen;
  ASSERT_TRUE(db->VisitNodes([&](const NodeEntry& e) {
                  seen.push_back(e.nid);
                  EXPECT_EQ(e.parent_nid, 0x122u);
                  return true;
                }).ok());
  EXPECT_EQ(seen, nids);
  for (NodeId nid : nids) EXPECT_TRUE(db->FindNode(nid).ok()) << nid;
  EXPECT_EQ(db->FindNode(0x10000 + 0x20 * 50).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(db->FindNode(0x4).status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(db->OpenNode(0xFFFFFF).status().code(), ErrorCode::kNotFound);
  std::size_t stop_after = 0;
  ASSERT_TRUE(db->VisitNodes([&](const NodeEntry&) { return ++stop_after < 3; }).ok());
  EXPECT_EQ(stop_after, 3u);
}

TEST(NodeBTree, PageThatPointsToItselfIsRefused) {
  NdbImageBuilder b(FormatVariant::kUnicode);
  BlockId data = b.AddDataBlock(Bytes("x"));
  for (NodeId i = 0; i < 40; ++i) b.AddNode(0x10004 + i * 0x20, data);
  auto image = b.Build();
  auto header = FileHeader::Decode(image);
  ASSERT_TRUE(header.ok());
  const BlockRef root = header->nbt_root;
  // The second child of the level-1 root now names the root itself.
  const std::size_t slot = static_cast<std::size_t>(root.ib) + 24;
  testing::PutLe64(image, slot + 8, root.bid);
  testing::PutLe64(image, slot + 16, root.ib);
  auto db = OpenImage(image);
  ASSERT_TRUE(db);
  EXPECT_EQ(db->VisitNodes([](const NodeEntry&) { return true; }).code(), ErrorCode::kCorrupt);
  auto late = db->FindNode(0x10004 + 20 * 0x20);  // under the second child
  EXPECT_EQ(late.status().code(), ErrorCode::kCorrupt) << late.status().message();
  EXPECT_TRUE(db->FindNode(0x10004).ok()) << "entries under intact pages stay readable";
  EXPECT_TRUE(db->FindNode(0x10004 + 39 * 0x20).ok());
}

// Damage confined to one node: that node fails with kCorrupt, its neighbour still reads.
class DamagedNode : public ::testing::Test {
 protected:
  void ExpectOnlyNodeFails(std::vector<std::byte> image, const char* words) {
    auto db = OpenImage(std::move(image));
    ASSERT_TRUE(db);
    auto bad = db->OpenNode(0x8024);
    Status s = bad.status();
    if (bad.ok()) s = (*bad)->ReadAll(1 << 20).status();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.code(), ErrorCode::kCorrupt);
    EXPECT_NE(s.message().find(words), std::string::npos) << s.message();
    auto good = db->OpenNode(0x122);
    ASSERT_TRUE(good.ok()) << good.status().message();
    EXPECT_EQ(*(*good)->ReadAll(100), Bytes("intact"));
  }
  NdbImageBuilder b_{FormatVariant::kUnicode};
};

TEST_F(DamagedNode, DataTreeListingAnInternalBlock) {
  BlockId leaf = b_.AddSubnodeLeaf({});
  b_.AddNode(0x8024, b_.AddDataTree(1, {leaf}, 8));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "internal block");
}

TEST_F(DamagedNode, SubnodeBlockWhereADataTreeBelongs) {
  b_.AddNode(0x8024, b_.AddSubnodeLeaf({}));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "wrong block type");
}

TEST_F(DamagedNode, XxBlockWithDataBlockChildren) {
  BlockId d = b_.AddDataBlock(Bytes("abc"));
  b_.AddNode(0x8024, b_.AddDataTree(2, {d}, 3));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "not an XBLOCK");
}

TEST_F(DamagedNode, DataTreeRepeatingOneBlockBeyondTheFile) {
  BlockId d = b_.AddDataBlock(Bytes("abc"));
  b_.AddNode(0x8024, b_.AddDataTree(1, std::vector<BlockId>(1000, d), 3000));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "more blocks than the file can hold");
}

TEST_F(DamagedNode, DataTreeListingOneBlockTwiceWithinTheFile) {
  BlockId d = b_.AddDataBlock(Bytes("abc"));
  BlockId e = b_.AddDataBlock(Bytes("def"));
  b_.AddNode(0x8024, b_.AddDataTree(1, {d, e, d}, 9));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "lists block");
}

TEST_F(DamagedNode, DistinctIdsOfOneBlockCountTheRoomTheyClaim) {
  // Every alias names the same bytes of the file; together they claim more than the file holds.
  BlockId d = b_.AddDataBlock(Pattern(8000, 3));
  std::vector<BlockId> aliases;
  for (BlockId alias = 0x90000; aliases.size() < 40; alias += 4) {
    b_.AliasBlock(alias, d);
    aliases.push_back(alias);
  }
  b_.AddNode(0x8024, b_.AddDataTree(1, aliases, 40 * 8000));
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "more blocks than the file can hold");
}

TEST(DamagedCompressedNode, BlockClaimingToInflateBeyondTheLargestBlock) {
  NdbImageBuilder b(FormatVariant::kUnicode4k);
  const std::size_t too_big = b.layout().max_block_data() + 8;
  b.AddNode(0x8024, b.AddDataBlock(std::vector<std::byte>(too_big), true));
  b.AddNode(0x122, b.AddDataBlock(Bytes("intact")));
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  auto bad = db->OpenNode(0x8024);
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.status().message().find("claims to inflate to"), std::string::npos)
      << bad.status().message();
  EXPECT_TRUE(db->OpenNode(0x122).ok());
}

TEST_F(DamagedNode, BlockMissingFromTheBlockBTree) {
  b_.AddNode(0x8024, 0x7777770);
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "missing from the block B-tree");
}

TEST_F(DamagedNode, TrailerNamingAnotherBlock) {
  BlockId d = b_.AddDataBlock(Bytes("abc"));
  b_.AliasBlock(0x99990, d);
  b_.AddNode(0x8024, 0x99990);
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  ExpectOnlyNodeFails(b_.Build(), "trailer names block");
}

TEST_F(DamagedNode, BlockPlacedBeyondTheEndOfTheFile) {
  b_.AddNode(0x122, b_.AddDataBlock(Bytes("intact")));
  BlockId big = b_.AddDataBlock(Pattern(5000, 9));
  b_.AddNode(0x8024, big);
  auto image = b_.Build();
  // Point the big block's entry in the block B-tree (a one-page tree here) far past the end.
  auto header = FileHeader::Decode(image);
  ASSERT_TRUE(header.ok());
  const std::size_t bbt = static_cast<std::size_t>(header->bbt_root.ib);
  for (std::size_t slot = bbt; slot < bbt + 488; slot += 24) {
    if (static_cast<BlockId>(image[slot]) == (big & 0xFF) &&
        image[slot + 1] == std::byte(big >> 8)) {
      testing::PutLe64(image, slot + 8, 0xFFFFFFFFFFFF0000ull);
    }
  }
  ExpectOnlyNodeFails(image, "beyond the end of the file");
}

TEST(BlockChecksum, MismatchIsCountedAndTheDataUsed) {
  std::vector<std::string> traces;
  NdbImageBuilder b(FormatVariant::kUnicode, CryptMethod::kNone);
  BlockId d = b.AddDataBlock(Bytes("checksummed"));
  b.AddNode(0x122, d);
  auto image = b.Build();
  image[b.BlockOffset(d)] = std::byte{'C'};
  NodeDatabaseOptions options;
  options.trace = [&](const std::string& t) { traces.push_back(t); };
  auto db = NodeDatabase::Open(FileSource::FromMemory(image), options);
  ASSERT_TRUE(db.ok());
  auto node = (*db)->OpenNode(0x122);
  ASSERT_TRUE(node.ok());
  EXPECT_EQ(*(*node)->ReadAll(100), Bytes("Checksummed"));
  EXPECT_EQ((*db)->integrity().checksum_mismatches, 1u);
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_NE(traces[0].find("checksum mismatch"), std::string::npos) << traces[0];
}

// Adjacent blocks come in with one read; each must still be checked on its own, and a cut file
// must fail only the blocks beyond the cut.
class AdjacentBlocks : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::uint8_t i = 0; i < 5; ++i) pieces_.push_back(Pattern(3000 + i, i));
    for (const auto& p : pieces_) bids_.push_back(b_.AddDataBlock(p));
    b_.AddNode(0x8024, b_.AddDataTree(1, bids_, 15010));
    image_ = b_.Build();
    for (std::size_t i = 1; i < bids_.size(); ++i) {
      ASSERT_EQ(b_.BlockOffset(bids_[i]),
                b_.BlockOffset(bids_[i - 1]) + b_.layout().BlockExtent(pieces_[i - 1].size()))
          << "the builder no longer places data blocks side by side";
    }
  }
  std::size_t TrailerOffset(std::size_t i) const {
    return static_cast<std::size_t>(b_.BlockOffset(bids_[i]) +
                                    b_.layout().BlockExtent(pieces_[i].size()) -
                                    b_.layout().block_trailer_size);
  }
  // Reads block i through ReadAt, as a stream does.
  Result<std::vector<std::byte>> StreamBlock(const Node& node, std::size_t i) const {
    std::uint64_t at = 0;
    for (std::size_t k = 0; k < i; ++k) at += pieces_[k].size();
    std::vector<std::byte> out(pieces_[i].size());
    auto n = node.ReadAt(at, out);
    if (!n.ok()) return n.status();
    return out;
  }

  NdbImageBuilder b_{FormatVariant::kUnicode, CryptMethod::kNone};
  std::vector<std::vector<std::byte>> pieces_;
  std::vector<BlockId> bids_;
  std::vector<std::byte> image_;
};

TEST_F(AdjacentBlocks, DamageInsideARunFailsOrFlagsOnlyTheBlockItHits) {
  image_[static_cast<std::size_t>(b_.BlockOffset(bids_[1])) + 7] ^= std::byte{0x40};
  image_[TrailerOffset(3)] ^= std::byte{0x01};  // cb of block 3's trailer
  auto db = OpenImage(image_);
  ASSERT_TRUE(db);
  auto node = db->OpenNode(0x8024);
  ASSERT_TRUE(node.ok());
  auto damaged = pieces_[1];
  damaged[7] ^= std::byte{0x40};
  EXPECT_EQ(*StreamBlock(**node, 0), pieces_[0]);
  EXPECT_EQ(*StreamBlock(**node, 1), damaged);
  EXPECT_EQ(*StreamBlock(**node, 2), pieces_[2]);
  auto broken = StreamBlock(**node, 3);
  ASSERT_FALSE(broken.ok());
  EXPECT_NE(broken.status().message().find("trailer size"), std::string::npos)
      << broken.status().message();
  EXPECT_EQ(*StreamBlock(**node, 4), pieces_[4]);
  EXPECT_EQ(db->integrity().checksum_mismatches, 1u);
  EXPECT_EQ(db->integrity().losses, 1u);
}

// A file with one unreadable stretch, as a bad sector would leave it.
class UnreadableStretch final : public FileSource {
 public:
  UnreadableStretch(std::vector<std::byte> bytes, std::uint64_t from, std::uint64_t to)
      : bytes_(std::move(bytes)), from_(from), to_(to) {}
  std::uint64_t size() const override { return bytes_.size(); }
  Status ReadExact(std::uint64_t offset, std::span<std::byte> out) const override {
    PST_RETURN_IF_ERROR(CheckRange(offset, out.size()));
    if (offset < to_ && offset + out.size() > from_) return Status::Io("unreadable sector");
    std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return Status::Ok();
  }

 private:
  std::vector<std::byte> bytes_;
  std::uint64_t from_, to_;
};

TEST_F(AdjacentBlocks, AnUnreadableStretchFailsOnlyTheBlocksItHolds) {
  const std::uint64_t bad = TrailerOffset(2);
  auto db = NodeDatabase::Open(std::make_unique<UnreadableStretch>(image_, bad, bad + 4));
  ASSERT_TRUE(db.ok()) << db.status().message();
  auto node = (*db)->OpenNode(0x8024);
  ASSERT_TRUE(node.ok()) << node.status().message();
  EXPECT_EQ(*StreamBlock(**node, 0), pieces_[0]);
  EXPECT_EQ(*StreamBlock(**node, 1), pieces_[1]);
  auto lost = StreamBlock(**node, 2);
  ASSERT_FALSE(lost.ok());
  EXPECT_NE(lost.status().message().find("unreadable sector"), std::string::npos)
      << lost.status().message();
  EXPECT_EQ(*StreamBlock(**node, 3), pieces_[3]);
  EXPECT_EQ((*db)->integrity().losses, 1u);
}

TEST(DataTreeTotal, DisagreementIsTracedAndTheBlocksDecide) {
  NdbImageBuilder b(FormatVariant::kUnicode);
  BlockId d1 = b.AddDataBlock(Bytes("abc"));
  BlockId d2 = b.AddDataBlock(Bytes("defg"));
  b.AddNode(0x8024, b.AddDataTree(1, {d1, d2}, 999));
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  auto node = db->OpenNode(0x8024);
  ASSERT_TRUE(node.ok());
  EXPECT_EQ((*node)->size(), 7u);
  EXPECT_EQ(*(*node)->ReadAll(100), Bytes("abcdefg"));
  EXPECT_EQ(db->integrity().other_warnings, 1u);
}

TEST(NodeWithoutData, IsEmpty) {
  NdbImageBuilder b(FormatVariant::kUnicode);
  b.AddNode(0x12D, 0);
  auto db = OpenImage(b.Build());
  ASSERT_TRUE(db);
  auto node = db->OpenNode(0x12D);
  ASSERT_TRUE(node.ok());
  EXPECT_EQ((*node)->size(), 0u);
  EXPECT_EQ((*node)->block_count(), 0u);
  EXPECT_TRUE((*node)->ReadAll(0).ok());
  EXPECT_TRUE((*node)->SubnodeIds()->empty());
  EXPECT_EQ((*node)->OpenSubnode(0x1F).status().code(), ErrorCode::kNotFound);
}

}  // namespace
}  // namespace pst::ndb
