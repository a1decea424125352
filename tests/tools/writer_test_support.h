// Shared helpers of the writer's tests: whole-value reads through the reader of a written file.
// Temporary folders and whole-file reads come from tests/support.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pst/ltp/property_value.h"
#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message_store.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace writer_test {

inline std::vector<std::byte> ReadStream(const pst::ltp::ValueStream& stream) {
  std::vector<std::byte> out(stream.size());
  auto n = stream.ReadAt(0, out);
  EXPECT_TRUE(n.ok()) << n.status().message();
  if (n.ok()) out.resize(*n);
  return out;
}

inline std::unique_ptr<pst::messaging::MessageStore> OpenStore(const std::string& path) {
  auto store = pst::messaging::MessageStore::OpenFile(path);
  EXPECT_TRUE(store.ok()) << store.status().message();
  return store.ok() ? std::move(store).value() : nullptr;
}

inline std::string Utf8(const pst::Result<pst::ltp::PropertyValue>& value) {
  if (!value.ok()) return "<" + value.status().message() + ">";
  auto text = value->AsUtf8();
  return text.ok() ? *text : "<" + text.status().message() + ">";
}

}  // namespace writer_test
