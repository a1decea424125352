// Recording what the session could not export, and the code texts of traces and reasons.
#include "libs/import_session/session_state.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace import_session {
namespace {

// Reasons come partly from error texts; a control character never reaches the one-line report.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

// The object's value of the one property `tag`, when GetProps answers it; null otherwise.
mapi::MapiBufferPtr<SPropValue> OneProperty(IMAPIProp& object, ULONG tag) {
  SPropTagArray tags{};
  tags.cValues = 1;
  tags.aulPropTag[0] = tag;
  ULONG count = 0;
  LPSPropValue raw_values = nullptr;
  const HRESULT hr = object.GetProps(&tags, 0, &count, &raw_values);
  mapi::MapiBufferPtr<SPropValue> values(raw_values);
  if (FAILED(hr) || !values || count != 1 || values.get()[0].ulPropTag != tag) return nullptr;
  return values;
}

}  // namespace

void CountSkippedMessages(ImportStatistics& statistics, std::string_view folder_path,
                          std::int64_t count, std::string reason) {
  if (count <= 0) return;
  reason = OneLine(std::move(reason));
  for (SkippedMessages& entry : statistics.skipped_messages) {
    if (entry.folder == folder_path && entry.reason == reason) {
      entry.count += count;
      return;
    }
  }
  statistics.skipped_messages.push_back({std::string(folder_path), count, std::move(reason)});
}

void CountUnopenedFolder(ImportStatistics& statistics, std::string_view folder_path,
                         std::string reason) {
  statistics.unopened_folders.push_back({std::string(folder_path), OneLine(std::move(reason))});
}

void CountDamagedMessage(ImportStatistics& statistics, std::string_view folder_path,
                         std::string subject, std::string problems) {
  auto entry = std::find_if(statistics.damaged_messages.begin(), statistics.damaged_messages.end(),
                            [&](const DamagedMessages& e) { return e.folder == folder_path; });
  if (entry == statistics.damaged_messages.end()) {
    statistics.damaged_messages.push_back({std::string(folder_path), 0, {}});
    entry = std::prev(statistics.damaged_messages.end());
  }
  ++entry->count;
  if (entry->listed.size() < DamagedMessages::kMaxListed) {
    entry->listed.push_back({OneLine(std::move(subject)), OneLine(std::move(problems))});
  }
}

std::string TakeIntegrityFindings(IMAPIProp& object) {
  const mapi::MapiBufferPtr<SPropValue> value = OneProperty(object, PR_INTEGRITY_FINDINGS);
  return value && value.get()->Value.lpszA ? value.get()->Value.lpszA : "";
}

bool SetIntegrityFindingsAside(IMAPIProp& message) {
  const mapi::MapiBufferPtr<SPropValue> value =
      OneProperty(message, PR_INTEGRITY_FINDINGS_SET_ASIDE);
  return value && value.get()->Value.b;
}

void CountStoreFindings(SessionState& state, std::string_view folder_path) {
  if (!state.mdb) return;
  std::string problems = TakeIntegrityFindings(*state.mdb);
  if (problems.empty()) return;
  state.statistics.damaged_structures.push_back({std::string(folder_path), OneLine(problems)});
}

const SPropValue* FindRowValue(const SRow& row, ULONG tag) {
  for (ULONG i = 0; row.lpProps && i < row.cValues; ++i) {
    if (row.lpProps[i].ulPropTag == tag) return &row.lpProps[i];
  }
  return nullptr;
}

std::string HexCode(HRESULT code) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(code));
  return text;
}

std::string ReasonWithCode(std::string_view what, HRESULT code) {
  return std::string(what) + " (0x" + HexCode(code) + ")";
}

}  // namespace import_session
