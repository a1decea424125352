// Personal-folders files made by the project's writer for the library's tests.
#pragma once

#include <string>

#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/pst_builder.h"

namespace platform_mapilib_test {

// A file with an Inbox (two mails, the second with an attachment and an embedded message), Sent
// Items, Deleted Items and an outbox; `options` chooses the variant, password and layout.
std::string WriteMailFile(const std::string& name, pstwriter::StoreOptions options = {});

// Subjects and contents the mail file holds.
inline constexpr const char* kFirstSubject = "First message";
inline constexpr const char* kSecondSubject = "With attachment";
inline constexpr const char* kFirstBody = "Plain body of the first message.\r\n";
inline constexpr const char* kAttachmentName = "data.bin";
inline constexpr std::size_t kAttachmentSize = 300000;  // larger than one block
inline constexpr const char* kEmbeddedSubject = "Inner message";
inline constexpr const char* kRtfText = "{\\rtf1\\ansi Hello RTF}";

}  // namespace platform_mapilib_test
