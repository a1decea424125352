// Helpers of the session tests.
#include "tests/import_session/session_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_binding_for_tests.h"
#include "platform/os/dynamic_library.h"
#include "platform/os/text_compare.h"

namespace session_test {

std::optional<std::string> SessionRegistry::ReadString(os::Hive, std::string_view key,
                                                       std::string_view value) const {
  if (os::EqualsIgnoreAsciiCase(key, os::kMessagingSubsystemKey) && value == "MAPIX") return "1";
  if (os::EqualsIgnoreAsciiCase(key, os::kMailClientKey) && value == "DLLPathEx") {
    return library_path;
  }
  return std::nullopt;
}

namespace {

// How a held text ends.
enum class Ending { kWhole, kBreaksOff, kThrows };

// A composed text held in memory, written in lines; it may break off, or throw, after its first.
class HeldText final : public import_session::MessageText {
 public:
  HeldText(std::string text, Ending ending) : text_(std::move(text)), ending_(ending) {}
  std::string_view Header() const override { return text_; }

 protected:
  std::int32_t Produce(import_session::MessageTextSink& sink) override {
    std::string_view rest = text_;
    while (!rest.empty()) {
      const std::size_t line = rest.find("\r\n") + 2;
      sink.Write(rest.substr(0, line));
      rest.remove_prefix(line);
      if (ending_ == Ending::kBreaksOff) return STG_E_READFAULT;
      if (ending_ == Ending::kThrows) throw std::runtime_error("stream gone");
    }
    return 0;
  }

 private:
  std::string text_;
  Ending ending_;
};

class StringSink final : public import_session::MessageTextSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void Write(std::string_view piece) override { out_.append(piece); }

 private:
  std::string& out_;
};

}  // namespace

std::int32_t WriteWholeText(import_session::MessageText& text, std::string& out) {
  StringSink sink(out);
  return text.WriteTo(sink);
}

HRESULT SubjectComposer(IMessage& message, std::unique_ptr<import_session::MessageText>& text) {
  SPropTagArray tags{1, {PR_SUBJECT}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  const HRESULT hr = message.GetProps(&tags, 0, &count, &values);
  if (FAILED(hr)) return hr;
  const std::string subject = values[0].ulPropTag == PR_SUBJECT ? values[0].Value.lpszA : "";
  mapi::MAPIFreeBuffer(values);
  if (subject == "compose fails") return MAPI_E_CORRUPT_DATA;
  if (subject == "compose throws") throw std::runtime_error("bad part\r\nin line two");
  std::string whole = "Subject: " + subject + "\r\n\r\n";
  if (subject.starts_with("large")) {
    for (int line = 0; line < kLargeTextLines; ++line)
      whole += std::string(62, 'a' + line % 26) + "\r\n";
  }
  const Ending ending = subject == "write fails"    ? Ending::kBreaksOff
                        : subject == "write throws" ? Ending::kThrows
                                                    : Ending::kWhole;
  text = std::make_unique<HeldText>(std::move(whole), ending);
  return S_OK;
}

std::string SubjectOf(const std::string& text) {
  const std::string prefix = "Subject: ";
  const auto end = text.find("\r\n");
  return text.substr(prefix.size(), end - prefix.size());
}

SessionTest::SessionTest() {
  mapi::ResetMapiBindingForTests();
  auto library = os::DynamicLibrary::Load(kSessionLibrary);
  if (!library) throw std::runtime_error("cannot load " + kSessionLibrary);
  library->Pin();
  connect_ = reinterpret_cast<session_fake::ConnectFunction*>(library->Find("SessionFakeConnect"));
  if (!connect_) throw std::runtime_error("no SessionFakeConnect in " + kSessionLibrary);
  connect_(&world_);
  folder_policy_ = [this](const FolderCall&, std::int32_t& folder_id, bool& include) {
    folder_id = 100 + static_cast<std::int32_t>(folder_calls_.size()) - 1;
    include = true;
  };
  message_policy_ = [](const MessageCall&, bool& stop) { stop = false; };
}

SessionTest::~SessionTest() {
  connect_(nullptr);
  mapi::ResetMapiBindingForTests();
}

void SessionTest::TearDown() {
  EXPECT_EQ(world_.OutstandingReferences(), 0) << "objects not released";
  EXPECT_EQ(world_.memory.Live(), 0) << "MAPI blocks not freed";
  EXPECT_EQ(world_.memory.bad_frees, 0) << "blocks freed twice or never allocated";
}

import_session::ImportResult SessionTest::Run(const std::string& path) {
  import_session::FolderCallback on_folder = [this](std::int32_t user_data, std::string_view name,
                                                    std::uint8_t type, std::int32_t count,
                                                    std::int32_t& folder_id, bool& include) {
    EXPECT_EQ(user_data, 7);
    folder_calls_.push_back({std::string(name), type, count});
    folder_policy_(folder_calls_.back(), folder_id, include);
  };
  import_session::MessageCallback on_message =
      [this](std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
             import_session::MessageText& text, double time, bool& stop) {
        EXPECT_EQ(user_data, 7);
        EXPECT_EQ(reserved, 0);
        std::string whole;
        // Like the archive: a text that breaks off is withdrawn.
        if (WriteWholeText(text, whole) < 0) return;
        message_calls_.push_back({folder_id, std::move(whole), time});
        message_policy_(message_calls_.back(), stop);
      };
  return import_session::RunImportSession(path, on_folder, on_message, 7, error_text_, &statistics_,
                                          composer_, workers_);
}

std::vector<std::string> SessionTest::FolderNames() const {
  std::vector<std::string> names;
  for (const FolderCall& call : folder_calls_) names.push_back(call.name);
  return names;
}

std::vector<std::string> SessionTest::Subjects() const {
  std::vector<std::string> subjects;
  for (const MessageCall& call : message_calls_) subjects.push_back(SubjectOf(call.text));
  return subjects;
}

bool SessionTest::Traced(std::string_view line) const { return TraceIndex(line) >= 0; }

int SessionTest::TraceIndex(std::string_view line) const {
  const auto found = std::find(trace_.lines.begin(), trace_.lines.end(), line);
  return found == trace_.lines.end() ? -1 : static_cast<int>(found - trace_.lines.begin());
}

}  // namespace session_test
