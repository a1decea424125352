// Messages over hand-made nodes: code pages, recipient and attachment tables, every attachment
// method, embedded messages to the depth limit, and damaged attachments that fail alone.
#include <gtest/gtest.h>

#include "platform/pst/messaging/message.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"
#include "tests/pst/ltp/heap_builder.h"

namespace pst::messaging {
namespace {

using ltp::prop_type::kBinary;
using ltp::prop_type::kInt32;
using ltp::prop_type::kObject;
using ltp::prop_type::kString8;
using ltp::prop_type::kUnicode;
using testing::Ascii;
using testing::ByteVector;
using testing::Concat;
using testing::FakeNodeData;
using testing::Le32;
using testing::PcProp;
using testing::Utf16;
using Where = PcProp::Where;
using NodePtr = std::shared_ptr<FakeNodeData>;

constexpr ndb::NodeId kMessageNid = 0x200024;

PcProp Long(std::uint16_t id, std::uint32_t v) { return {id, kInt32, Le32(v), Where::kInline}; }
PcProp Subject(const std::string& s) { return {0x0037, kString8, Ascii(s), Where::kHeap}; }

// Attachment table: row id and PR_ATTACH_METHOD per attachment node.
void AddAttachments(const NodePtr& message,
                    const std::vector<std::pair<NodePtr, std::uint32_t>>& list) {
  testing::TcLayout layout{8, 8, 8, 9, {{0x67F20003, 0, 4, 0}, {0x37050003, 4, 4, 1}}};
  std::vector<ByteVector> rows;
  for (const auto& [node, method] : list) {
    rows.push_back(Concat({Le32(node->id), Le32(method), ByteVector{std::byte{0xC0}}}));
    message->subnodes[node->id] = node;
  }
  message->subnodes[kNidAttachmentTable] = testing::BuildTc(0x671, layout, rows);
}

NodePtr Attachment(ndb::NodeId id, std::vector<PcProp> props) {
  return testing::BuildPc(id, props);
}

// A message with one attachment embedding `inner`.
NodePtr Embedding(ndb::NodeId id, const NodePtr& inner, std::vector<PcProp> props = {}) {
  auto message = testing::BuildPc(id, props);
  auto attachment =
      Attachment(0x8025, {Long(0x3705, tags::kAttachEmbeddedMessage),
                          {0x3701, kObject, Concat({Le32(inner->id), Le32(100)}), Where::kHeap}});
  attachment->subnodes[inner->id] = inner;
  AddAttachments(message, {{attachment, tags::kAttachEmbeddedMessage}});
  return message;
}

Result<Message> OpenMessage(const NodePtr& node, std::uint32_t fallback = 1252) {
  return Message::Open(testing::MakeFakeNode(node), fallback);
}

TEST(MessageCodePage, OwnCodePageThenInternetThenFallback) {
  auto own = OpenMessage(
      testing::BuildPc(kMessageNid, {Subject("\xE9"), Long(0x3FDE, 20127), Long(0x3FFD, 1251)}));
  EXPECT_EQ(own->code_page(), 1251u);
  EXPECT_EQ(*own->properties().Get(0x0037)->AsUtf8(), "\xD0\xB9");
  auto internet = OpenMessage(testing::BuildPc(kMessageNid, {Long(0x3FDE, 1250)}));
  EXPECT_EQ(internet->code_page(), 1250u);
  auto fallback = OpenMessage(testing::BuildPc(kMessageNid, {Subject("x")}), 932);
  EXPECT_EQ(fallback->code_page(), 932u);
}

TEST(MessageCodePage, EmbeddedMessageWithoutItsOwnUsesTheParents) {
  auto inner = testing::BuildPc(0x3F, {Subject("\xE9")});
  auto outer = OpenMessage(Embedding(kMessageNid, inner, {Long(0x3FFD, 1253)}));
  ASSERT_TRUE(outer.ok());
  auto ids = outer->AttachmentIds();
  auto attachment = outer->OpenAttachment(ids->at(0));
  auto embedded = attachment->OpenEmbeddedMessage();
  ASSERT_TRUE(embedded.ok()) << embedded.status().message();
  EXPECT_EQ(embedded->code_page(), 1253u);
  EXPECT_EQ(*embedded->properties().Get(0x0037)->AsUtf8(), "\xCE\xB9");  // iota in 1253
}

TEST(MessageTables, RecipientTableRowsAndAbsentTables) {
  auto node = testing::BuildPc(kMessageNid, {Subject("hi")});
  testing::HeapBuilder heap(testing::kClientTc);
  const auto ann = heap.Add(Utf16(u"Ann")), bob = heap.Add(Utf16(u"Bob"));
  testing::TcLayout layout{
      12, 12, 12, 13, {{0x67F20003, 0, 4, 0}, {0x3001001F, 4, 4, 1}, {0x0C150003, 8, 4, 2}}};
  node->subnodes[0x692] =
      testing::BuildTc(0x692, layout,
                       {Concat({Le32(0), Le32(ann), Le32(1), ByteVector{std::byte{0xE0}}}),
                        Concat({Le32(1), Le32(bob), Le32(2), ByteVector{std::byte{0xE0}}})},
                       0, &heap);
  auto message = OpenMessage(node);
  auto recipients = message->OpenRecipientTable();
  ASSERT_TRUE(recipients.ok()) << recipients.status().message();
  ASSERT_TRUE(recipients->has_value());
  const auto& table = **recipients;
  ASSERT_EQ(table.row_count(), 2u);
  auto second = table.ReadRow(1);
  EXPECT_EQ(*table.CellById(*second, 0x3001)->AsUtf8(), "Bob");
  EXPECT_EQ(*table.CellById(*second, 0x0C15)->AsInt32(), 2);
  auto attachments = message->OpenAttachmentTable();
  ASSERT_TRUE(attachments.ok());
  EXPECT_FALSE(attachments->has_value());
  EXPECT_TRUE(message->AttachmentIds()->empty());
}

// Only a table the message has no sign of is absent; one it says it has and lacks is damage.
TEST(MessageTables, TablesTheMessageSaysItHasAreDamagedWhenMissing) {
  const PcProp display_to{0x0E04, kString8, Ascii("Ann; Bob"), Where::kHeap};
  auto said = OpenMessage(testing::BuildPc(kMessageNid, {Long(0x0E07, 0x10), display_to}));
  EXPECT_EQ(said->OpenAttachmentTable().status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(said->AttachmentIds().status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(said->OpenRecipientTable().status().code(), ErrorCode::kCorrupt);

  const PcProp nobody{0x0E04, kString8, Ascii(" "), Where::kHeap};
  auto unsaid = OpenMessage(testing::BuildPc(kMessageNid, {Long(0x0E07, 0x01), nobody}));
  ASSERT_TRUE(unsaid->OpenAttachmentTable().ok());
  EXPECT_FALSE(unsaid->OpenAttachmentTable()->has_value());
  ASSERT_TRUE(unsaid->OpenRecipientTable().ok());
  EXPECT_FALSE(unsaid->OpenRecipientTable()->has_value());
}

TEST(MessageAttachments, EveryMethodOpensWithoutCrashing) {
  ByteVector payload(9000);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::byte>(i % 251);
  auto by_value = Attachment(0x8025, {{0x3701, kBinary, payload, Where::kSubnode, 0x8B},
                                      Long(0x3705, tags::kAttachByValue)});
  auto by_reference =
      Attachment(0x8045, {Long(0x3705, tags::kAttachByReference),
                          {0x3708, kUnicode, Utf16(u"\\\\srv\\f.doc"), Where::kHeap}});
  auto ole = Attachment(0x8065, {{0x3701, kObject, Concat({Le32(0x1AB), Le32(4)}), Where::kHeap},
                                 Long(0x3705, tags::kAttachOle)});
  auto ole_data = std::make_shared<FakeNodeData>();
  ole_data->id = 0x1AB;
  ole_data->blocks = {Ascii("OLE!")};
  ole->subnodes[0x1AB] = ole_data;
  auto web = Attachment(0x8085, {Long(0x3705, tags::kAttachByWebReference)});
  auto no_method = Attachment(0x80A5, {});
  auto node = testing::BuildPc(kMessageNid, {Subject("files")});
  AddAttachments(node, {{by_value, 1}, {by_reference, 2}, {ole, 6}, {web, 7}, {no_method, 0}});
  auto message = OpenMessage(node);
  auto ids = message->AttachmentIds();
  ASSERT_EQ(ids->size(), 5u);

  auto first = message->OpenAttachment((*ids)[0]);
  EXPECT_EQ(first->method(), tags::kAttachByValue);
  auto data = first->OpenData();
  ASSERT_TRUE(data.ok());
  ByteVector read(payload.size());
  EXPECT_EQ(*data->ReadAt(0, read), payload.size());
  EXPECT_EQ(read, payload);
  EXPECT_EQ(first->OpenEmbeddedMessage().status().code(), ErrorCode::kNotFound);

  auto reference = message->OpenAttachment((*ids)[1]);
  EXPECT_EQ(reference->OpenData().status().code(), ErrorCode::kNotFound);
  EXPECT_EQ(reference->OpenEmbeddedMessage().status().code(), ErrorCode::kNotFound);

  auto object = message->OpenAttachment((*ids)[2]);
  auto object_data = object->OpenData();
  ASSERT_TRUE(object_data.ok());
  EXPECT_EQ(object_data->size(), 4u);
  EXPECT_EQ(object->OpenEmbeddedMessage().status().code(), ErrorCode::kCorrupt);  // not a message

  EXPECT_EQ(message->OpenAttachment((*ids)[3])->OpenData().status().code(), ErrorCode::kNotFound);
  EXPECT_FALSE(message->OpenAttachment((*ids)[4])->method().has_value());
}

TEST(MessageAttachments, DamagedAttachmentFailsAloneOthersOpen) {
  auto good = Attachment(0x8025, {Long(0x3705, 1)});
  auto broken = Attachment(0x8045, {Long(0x3705, 1)});
  broken->blocks[0][2] = std::byte{0};  // heap signature gone
  auto missing = Attachment(0x8065, {});
  auto node = testing::BuildPc(kMessageNid, {Subject("x")});
  AddAttachments(node, {{good, 1}, {broken, 1}, {missing, 1}});
  node->subnodes.erase(0x8065);
  auto message = OpenMessage(node);
  auto ids = message->AttachmentIds();
  ASSERT_EQ(ids->size(), 3u);
  EXPECT_TRUE(message->OpenAttachment((*ids)[0]).ok());
  EXPECT_EQ(message->OpenAttachment((*ids)[1]).status().code(), ErrorCode::kCorrupt);
  EXPECT_EQ(message->OpenAttachment((*ids)[2]).status().code(), ErrorCode::kNotFound);
}

TEST(MessageAttachments, EmbeddedMessagesOpenDownToTheDepthLimitAndNoFurther) {
  NodePtr chain = testing::BuildPc(0x3F, {Subject("level 40")});
  for (int level = 39; level >= 0; --level) {
    chain = Embedding(level == 0 ? kMessageNid : 0x3F, chain,
                      {Subject("level " + std::to_string(level))});
  }
  auto message = OpenMessage(chain);
  ASSERT_TRUE(message.ok());
  std::optional<Message> current(std::move(*message));
  int opened = 0;
  for (;;) {
    auto ids = current->AttachmentIds();
    ASSERT_TRUE(ids.ok());
    auto attachment = current->OpenAttachment(ids->at(0));
    ASSERT_TRUE(attachment.ok());
    auto inner = attachment->OpenEmbeddedMessage();
    if (!inner.ok()) {
      EXPECT_EQ(inner.status().code(), ErrorCode::kLimit);
      break;
    }
    ++opened;
    EXPECT_EQ(inner->depth(), opened);
    EXPECT_EQ(*inner->properties().Get(0x0037)->AsUtf8(), "level " + std::to_string(opened));
    current.emplace(std::move(*inner));
  }
  EXPECT_EQ(opened, Message::kMaxDepth);
}

}  // namespace
}  // namespace pst::messaging
