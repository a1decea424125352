// Set-up of the composer's tests that reach the mail library: the test mail library installed
// through the registry stand-in and bound afresh, a fixed clock, and checks that everything handed
// out was released (objects by the end of the test: a part tree keeps its attachments open).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "compose/mime_constructor.h"
#include "platform/os/registry.h"
#include "tests/compose/fake_clock.h"
#include "tests/compose/fake_message.h"

namespace compose_test {

// Answers the two values that locate the mail library; every other key is absent.
class TestRegistry final : public os::Registry {
 public:
  explicit TestRegistry(std::string library) : library_(std::move(library)) {}
  bool KeyExists(os::Hive, std::string_view) const override { return true; }
  std::optional<std::string> ReadString(os::Hive, std::string_view,
                                        std::string_view value) const override;
  bool WriteValue(os::Hive, std::string_view, std::string_view, std::string_view) override {
    return false;
  }
  os::OsVersion Version() const override { return {10, 0, 2}; }

 private:
  std::string library_;
};

// Blocks of MAPI memory the test library has handed out and not seen freed.
int LiveMapiBlocks();

class MailLibraryTest : public ::testing::Test {
 protected:
  MailLibraryTest();
  ~MailLibraryTest() override;

  // Composes a message over data; checks that every MAPI block was released.
  HRESULT Compose(const std::shared_ptr<MessageData>& data, compose::TMIMEConstructor& root);
  // The composed text of data, expecting success.
  std::string ComposedText(const std::shared_ptr<MessageData>& data);

  TestRegistry registry_;
  os::ScopedRegistry scoped_registry_{registry_};
  FakeClock clock_;
  os::ScopedClock scoped_clock_{clock_};
  int objects_before_ = 0;
};

}  // namespace compose_test
