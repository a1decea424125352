// The composer's tests against the test mail library.
#include "tests/compose/mail_library_fixture.h"

#include "compose/compose_message.h"
#include "libs/mapi/mapi_binding_for_tests.h"
#include "platform/os/dynamic_library.h"

namespace compose_test {

int LiveMapiBlocks() {
  static auto library = os::DynamicLibrary::Load(COMPOSE_TEST_MAIL_LIBRARY);
  if (!library) return -1;
  auto* live = reinterpret_cast<int (*)()>(library->Find("TestLiveBlocks"));
  return live ? live() : -1;
}

MailLibraryTest::MailLibraryTest()
    : registry_(COMPOSE_TEST_MAIL_LIBRARY), objects_before_(LiveFakeObjects()) {
  mapi::ResetMapiBindingForTests();
}

MailLibraryTest::~MailLibraryTest() {
  EXPECT_EQ(LiveFakeObjects(), objects_before_) << "objects left unreleased";
  mapi::ResetMapiBindingForTests();
}

HRESULT MailLibraryTest::Compose(const std::shared_ptr<MessageData>& data,
                                 compose::TMIMEConstructor& root) {
  const int blocks_before = LiveMapiBlocks();
  IMessage* message = NewFakeMessage(data);
  const HRESULT hr = compose::ComposeMessage(message, root);
  message->Release();
  EXPECT_EQ(LiveMapiBlocks(), blocks_before) << "MAPI memory left unfreed";
  return hr;
}

std::string MailLibraryTest::ComposedText(const std::shared_ptr<MessageData>& data) {
  compose::TMIMEConstructor root;
  EXPECT_EQ(Compose(data, root), S_OK);
  std::string text;
  compose::StringTextSink sink(text);
  EXPECT_EQ(root.WriteTo(sink), 0);
  return text;
}

}  // namespace compose_test
