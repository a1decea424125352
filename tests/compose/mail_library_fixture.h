// Set-up of the composer's tests that reach the mail library: the test mail library installed
// through the registry stand-in and bound afresh, a fixed clock, and checks that everything handed
// out was released (objects by the end of the test: a part tree keeps its attachments open).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "compose/mime_constructor.h"
#include "tests/compose/fake_clock.h"
#include "tests/compose/fake_message.h"
#include "tests/support/mail_library_registry.h"

namespace compose_test {

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

  test_support::MailLibraryRegistry registry_;
  os::ScopedRegistry scoped_registry_{registry_};
  FakeClock clock_;
  os::ScopedClock scoped_clock_{clock_};
  int objects_before_ = 0;
};

}  // namespace compose_test
