// Test objects of the mail library's interfaces, built from plain descriptions: a message with its
// properties, property streams (bodies, compressed RTF, transport headers), recipient table and
// attachments (data or embedded messages). Values handed out live in MAPI memory of the test mail
// library; every object counts itself so that tests can check that the composer releases all.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "libs/mapi/mapi.h"

namespace compose_test {

// A property value; the tag's type says which form it takes: PT_LONG and PT_BOOLEAN a number,
// PT_STRING8 and PT_BINARY bytes, PT_UNICODE UTF-16, PT_SYSTIME 100-ns ticks since 1601.
using PropValue = std::variant<ULONG, std::string, std::u16string, unsigned long long>;
using PropMap = std::map<ULONG, PropValue>;

struct StreamData {
  std::string bytes;
  long long fail_after = -1;                      // reads fail after this many bytes (damaged data)
  std::optional<unsigned long long> stated_size;  // what Stat says (a damaged file may lie)
};

struct MessageData;

struct AttachmentData {
  PropMap props;                   // columns of the attachment table (PR_ATTACH_NUM is added)
  std::optional<StreamData> data;  // PR_ATTACH_DATA_BIN; none: cannot be opened
  std::shared_ptr<MessageData> embedded;  // PR_ATTACH_DATA_OBJ
  bool opens = true;                      // OpenAttach succeeds
};

struct MessageData {
  PropMap props;
  std::map<ULONG, StreamData> streams;  // what OpenProperty gives as IStream
  std::vector<PropMap> recipients;
  std::vector<AttachmentData> attachments;
  bool recipient_table_fails = false;
  bool attachment_table_fails = false;
};

// A new message object over data (one reference, released by the caller).
IMessage* NewFakeMessage(std::shared_ptr<MessageData> data);

// Test objects (messages, attachments, tables, streams made here) not yet released.
int LiveFakeObjects();

// The body of an attachment's data: bytes, or a stream whose reads fail after some bytes.
StreamData Bytes(std::string bytes);

}  // namespace compose_test
