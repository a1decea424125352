// Names of the result codes the import session and the mail library return.
#include "driver/import_result_text.h"

#include <cstdint>
#include <cstdio>

namespace driver {
namespace {

struct KnownResult {
  std::uint32_t code;
  const char* text;
};

constexpr KnownResult kKnownResults[] = {
    {0x80004005, "unspecified failure"},
    {0x8007000E, "out of memory"},
    {0x80070005, "access denied"},
    {0x80070057, "invalid parameter"},
    {0x800B0001, "the profile has no default message store"},
    {0x80040102, "operation not supported"},
    {0x80040106, "unknown flags"},
    {0x8004010F, "not found"},
    {0x80040111, "logon failed"},
    {0x80040113, "cancelled"},
    {0x80040115, "the file cannot be reached"},
    {0x80040116, "disk error"},
    {0x80040119, "extended error"},
    {0x8004011B, "the file is damaged"},
    {0x80040605, "the mail library is not initialised"},
};

std::string Hex(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

}  // namespace

std::string DescribeImportResult(import_session::ImportResult result) {
  const auto code = static_cast<std::uint32_t>(result);
  for (const KnownResult& known : kKnownResults)
    if (known.code == code) return std::string(known.text) + " (" + Hex(code) + ")";
  return "error " + Hex(code);
}

}  // namespace driver
