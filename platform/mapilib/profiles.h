// Profiles and their message services, kept in memory for the life of the process; the profile
// administration object (IProfAdmin) and a profile's service administration (IMsgServiceAdmin).
// The personal-folders service ("MSPST MS" or "MSUPST MS", either opening ANSI and Unicode files)
// opens and checks its file when it is configured.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

struct MsgService {
  MAPIUID uid{};
  std::string name;
  std::string path;
  std::shared_ptr<const pst::messaging::MessageStore> store;  // set once configured
};

// The stores of a profile's configured services; nullopt when no such profile exists.
std::optional<std::vector<std::shared_ptr<const pst::messaging::MessageStore>>> ProfileStores(
    const std::string& profile);

// The result of opening a file for the service: the store, or a status code and a reason.
struct OpenedFile {
  std::shared_ptr<const pst::messaging::MessageStore> store;
  HRESULT code = S_OK;
  std::string reason;
};
// Opens and checks `path` with `password`: a missing file, a directory, a file that is not a
// personal-folders file, a damaged header, an unsupported variant and a wrong password each fail
// with their own code.
OpenedFile OpenPersonalFolders(const std::string& path, const std::string& password);

IProfAdmin* NewProfAdmin();

}  // namespace mapilib
