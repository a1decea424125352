// The special folders, folder types and the walk of the folder tree.
#include "libs/import_session/folder_walk.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "libs/import_session/message_enumeration.h"
#include "libs/mapi/mapi_binding.h"
#include "platform/os/text_compare.h"
#include "support/diag/debug_trace.h"

namespace import_session {
namespace {

// Folder types; 0 is a folder that is not imported.
constexpr std::uint8_t kNotImported = 0;

// The properties read from each child folder, in this order.
constexpr ULONG kFolderPropTags[] = {PR_DISPLAY_NAME, PR_ENTRYID, PR_SUBFOLDERS,
                                     PR_CONTAINER_CLASS};
enum FolderValue { kNameValue, kEntryIdValue, kSubfoldersValue, kClassValue };

// The hierarchy-table columns. The name is read only to name a folder that cannot be opened.
constexpr ULONG kHierarchyColumns[] = {PR_ENTRYID, PR_DISPLAY_NAME};

constexpr const char* kUnnamedFolder = "(unnamed folder)";

// Where the walk stands: the path of the level's folders and the entry ids of the folders above
// them, which no child may repeat.
struct WalkPosition {
  std::string path_prefix;  // "" at the top level, else the parent's path and "/"
  std::vector<std::vector<BYTE>> ancestors;
  int depth = 0;
};

// What the walk learnt of one child folder from its own properties.
struct ChildFolder {
  std::string name;
  std::string path;
  mapi::EntryIdCopy entry_id;
  bool has_subfolders = true;
  std::uint8_t type = kNotImported;
};

const SPropValue* ValueWithTag(const SPropValue* values, ULONG count, ULONG index, ULONG tag) {
  if (!values || index >= count || values[index].ulPropTag != tag) return nullptr;
  return &values[index];
}

std::vector<BYTE> Bytes(const SBinary& id) { return std::vector<BYTE>(id.lpb, id.lpb + id.cb); }

template <typename T>
HRESULT OpenAs(IMAPIContainer& container, const SBinary& id, LPCIID iid, ULONG flags,
               mapi::InterfacePtr<T>& out) {
  ULONG object_type = 0;
  LPUNKNOWN opened = nullptr;
  const HRESULT hr = container.OpenEntry(id.cb, id.lpb, iid, flags, &object_type, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

HRESULT OpenFolderFromStore(IMsgStore& store, const SBinary& id, ULONG flags,
                            mapi::InterfacePtr<IMAPIFolder>& out) {
  ULONG object_type = 0;
  LPUNKNOWN opened = nullptr;
  const HRESULT hr = store.OpenEntry(id.cb, id.lpb, &IID_IMAPIFolder, flags, &object_type, &opened);
  return mapi::AdoptOpened(hr, opened, out);
}

std::uint8_t FolderType(SessionState& state, const SBinary& id, const SPropValue* container_class) {
  const SpecialFolders& special = state.folders;
  IMsgStore& store = *state.mdb;
  if (SameEntry(store, &id, special.inbox.get())) return kFolderTypeInbox;
  if (SameEntry(store, &id, special.outbox.get())) return kNotImported;
  if (SameEntry(store, &id, special.sent_items.get())) return kFolderTypeSentItems;
  if (SameEntry(store, &id, special.deleted_items.get())) return kFolderTypeDeletedItems;
  if (!container_class || !container_class->Value.lpszA) return kFolderTypeMail;
  // IMAP accounts keep their mail in folders of class "IPF.Imap"; both classes are mail.
  const char* folder_class = container_class->Value.lpszA;
  const bool mail = os::EqualsTextIgnoreCase(folder_class, "IPF.Note") ||
                    os::EqualsTextIgnoreCase(folder_class, "IPF.Imap");
  return mail ? std::uint8_t{kFolderTypeMail} : kNotImported;
}

// Opens the folder's contents table, asks the folder callback for its id and reads its messages.
HRESULT ImportFromFolder(SessionState& state, const ChildFolder& child) {
  diag::DebugTrace("ImportFromFolder(" + child.name + ")");
  mapi::InterfacePtr<IMAPIFolder> folder;
  mapi::InterfacePtr<IMAPITable> contents;
  ULONG count = 0;
  HRESULT hr = OpenFolderFromStore(*state.mdb, *child.entry_id,
                                   MAPI_MODIFY | MAPI_DEFERRED_ERRORS | MAPI_BEST_ACCESS, folder);
  if (SUCCEEDED(hr)) hr = folder->GetContentsTable(0, contents.Out());
  if (SUCCEEDED(hr) && !contents) hr = MAPI_E_CALL_FAILED;
  if (SUCCEEDED(hr)) hr = contents->GetRowCount(0, &count);
  if (FAILED(hr)) {
    CountUnopenedFolder(state.statistics, child.path,
                        ReasonWithCode("its messages could not be listed", hr));
  } else if (state.on_folder) {
    std::int32_t folder_id = -1;
    bool include = false;
    const auto message_count = static_cast<std::int32_t>(
        std::min<ULONG>(count, static_cast<ULONG>(std::numeric_limits<std::int32_t>::max())));
    state.on_folder(state.user_data, child.name, child.type, message_count, folder_id, include);
    if (folder_id != -1 && include) {
      hr = ProcessMessages(state, *contents, {child.name, child.path, folder_id, count});
    }
  }
  CountStoreFindings(state, child.path);
  diag::DebugTrace("ImportFromFolder() finished");
  return hr;
}

HRESULT EnumFolders(SessionState& state, IMAPIFolder& folder, const std::string& trace_path,
                    WalkPosition& position);

// Lists the child's subfolders; a failure is counted against the child.
void WalkSubfolders(SessionState& state, IMAPIFolder& parent, const ChildFolder& child,
                    WalkPosition& position) {
  if (position.depth + 1 >= kMaxFolderDepth) {
    CountUnopenedFolder(state.statistics, child.path, "its subfolders lie too deep");
    return;
  }
  diag::DebugTrace("Folder.OpenEntry()");
  mapi::InterfacePtr<IMAPIFolder> subfolder;
  HRESULT hr = OpenAs(parent, *child.entry_id, &IID_IMAPIFolder,
                      MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS, subfolder);
  if (FAILED(hr)) {
    CountUnopenedFolder(state.statistics, child.path,
                        ReasonWithCode("its subfolders could not be opened", hr));
    return;
  }
  WalkPosition below{child.path + "/", position.ancestors, position.depth + 1};
  below.ancestors.push_back(Bytes(*child.entry_id));
  hr = EnumFolders(state, *subfolder, child.name + "/", below);
  if (FAILED(hr)) {
    CountUnopenedFolder(state.statistics, child.path,
                        ReasonWithCode("its subfolders could not be listed", hr));
  }
}

// Reads the child's name, entry id, subfolder flag and type from the child itself.
HRESULT ReadChild(SessionState& state, IMAPIProp& opened, const SBinary& listed_id,
                  ChildFolder& child) {
  LPSPropTagArray raw_tags = nullptr;
  HRESULT hr = mapi::MakePropTagArray(kFolderPropTags, &raw_tags);
  mapi::MapiBufferPtr<SPropTagArray> tags(raw_tags);
  ULONG count = 0;
  LPSPropValue raw_values = nullptr;
  if (SUCCEEDED(hr)) hr = opened.GetProps(tags.get(), 0, &count, &raw_values);
  mapi::MapiBufferPtr<SPropValue> values(raw_values);
  if (SUCCEEDED(hr) && !values) hr = MAPI_E_CALL_FAILED;
  if (FAILED(hr)) return hr;

  const SPropValue* name = ValueWithTag(values.get(), count, kNameValue, PR_DISPLAY_NAME);
  if (name && name->Value.lpszA) child.name = name->Value.lpszA;
  const SPropValue* id = ValueWithTag(values.get(), count, kEntryIdValue, PR_ENTRYID);
  child.entry_id = mapi::CopyEntryId(id && id->Value.bin.cb ? id->Value.bin : listed_id);
  if (!child.entry_id) return MAPI_E_NOT_ENOUGH_MEMORY;
  // Without the flag the subfolders are looked for: an empty list costs little, a lost one much.
  const SPropValue* subfolders = ValueWithTag(values.get(), count, kSubfoldersValue, PR_SUBFOLDERS);
  child.has_subfolders = !subfolders || subfolders->Value.b != 0;
  child.type = FolderType(state, *child.entry_id,
                          ValueWithTag(values.get(), count, kClassValue, PR_CONTAINER_CLASS));
  return hr;
}

bool IsAncestor(const WalkPosition& position, const SBinary& id) {
  return std::any_of(position.ancestors.begin(), position.ancestors.end(),
                     [&id](const std::vector<BYTE>& ancestor) {
                       return ancestor.size() == id.cb &&
                              std::memcmp(ancestor.data(), id.lpb, id.cb) == 0;
                     });
}

// One row of a hierarchy table: the child folder, its messages and its subtree.
void WalkChild(SessionState& state, IMAPIFolder& parent, const SRow& row, WalkPosition& position) {
  const SPropValue* listed_id = FindRowValue(row, PR_ENTRYID);
  const SPropValue* listed_name = FindRowValue(row, PR_DISPLAY_NAME);
  ChildFolder child;
  child.name = listed_name && listed_name->Value.lpszA ? listed_name->Value.lpszA : "";
  auto path_of = [&position](const std::string& name) {
    return position.path_prefix + (name.empty() ? kUnnamedFolder : name);
  };
  if (!listed_id || listed_id->Value.bin.cb == 0) {
    CountUnopenedFolder(state.statistics, path_of(child.name), "its entry id is missing");
    return;
  }
  mapi::InterfacePtr<IMAPIProp> opened;
  HRESULT hr = OpenAs(parent, listed_id->Value.bin, nullptr,
                      MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS, opened);
  if (FAILED(hr)) {
    CountUnopenedFolder(state.statistics, path_of(child.name),
                        ReasonWithCode("it could not be opened", hr));
    return;
  }
  hr = ReadChild(state, *opened, listed_id->Value.bin, child);
  opened.Reset();
  child.path = path_of(child.name);
  if (FAILED(hr)) {
    CountUnopenedFolder(state.statistics, child.path,
                        ReasonWithCode("its properties could not be read", hr));
    return;
  }
  if (IsAncestor(position, *child.entry_id)) {
    CountUnopenedFolder(state.statistics, child.path, "it lies inside itself");
    return;
  }
  if (child.type != kNotImported) ImportFromFolder(state, child);
  if (child.has_subfolders && !state.stop_requested) {
    WalkSubfolders(state, parent, child, position);
  }
}

// Lists the folder's subfolders in table order and walks each. Returns a failure only when the
// list itself cannot be read; failures below are counted and absorbed.
HRESULT EnumFolders(SessionState& state, IMAPIFolder& folder, const std::string& trace_path,
                    WalkPosition& position) {
  diag::DebugTrace("EnumFolders(" + trace_path + ")");
  mapi::InterfacePtr<IMAPITable> table;
  ULONG row_count = 0;
  HRESULT hr = folder.GetHierarchyTable(0, table.Out());
  if (SUCCEEDED(hr) && !table) hr = MAPI_E_CALL_FAILED;
  if (SUCCEEDED(hr)) hr = table->GetRowCount(0, &row_count);
  LPSPropTagArray raw_columns = nullptr;
  if (SUCCEEDED(hr)) hr = mapi::MakePropTagArray(kHierarchyColumns, &raw_columns);
  mapi::MapiBufferPtr<SPropTagArray> columns(raw_columns);
  if (SUCCEEDED(hr)) hr = table->SetColumns(columns.get(), 0);
  columns.reset();
  if (FAILED(hr)) return hr;
  // Read until the table ends: a table may hand out fewer rows than asked for.
  const LONG batch = static_cast<LONG>(std::clamp<ULONG>(row_count, 1, 0x7FFFFFFF));
  while (!state.stop_requested) {
    LPSRowSet raw_rows = nullptr;
    hr = table->QueryRows(batch, 0, &raw_rows);
    mapi::RowSetPtr rows(raw_rows);
    if (FAILED(hr)) return hr;
    if (!rows || rows->cRows == 0) break;
    for (ULONG i = 0; i < rows->cRows && !state.stop_requested; ++i) {
      WalkChild(state, folder, rows->aRow[i], position);
    }
  }
  diag::DebugTrace("EnumFolders(" + trace_path + ") finished");
  return S_OK;
}

// Messages lying in the IPM subtree's own folder are never exported; they are counted.
void CountTopFolderMessages(SessionState& state, IMAPIFolder& root) {
  mapi::InterfacePtr<IMAPITable> contents;
  ULONG count = 0;
  if (SUCCEEDED(root.GetContentsTable(0, contents.Out())) && contents &&
      SUCCEEDED(contents->GetRowCount(0, &count))) {
    state.statistics.messages_in_top_folder = count;
  }
}

}  // namespace

HRESULT GetSystemMAPIFolders(IMsgStore& store, bool force_create, SpecialFolders& folders) {
  folders = SpecialFolders{};
  const ULONG flags = MAPI_FULL_IPM_TREE | (force_create ? MAPI_FORCE_CREATE : 0);
  ULONG count = 0;
  LPSPropValue raw_values = nullptr;
  const HRESULT hr = mapi::HrValidateIPMSubtree(&store, flags, &count, &raw_values, nullptr);
  mapi::MapiBufferPtr<SPropValue> values(raw_values);
  if (FAILED(hr) || !values) return S_OK;

  struct Slot {
    ULONG tag;
    ULONG mask_bit;
    mapi::MapiBufferPtr<SBinary>& id;
  };
  Slot slots[] = {{PR_IPM_SUBTREE_ENTRYID, FOLDER_IPM_SUBTREE_VALID, folders.root},
                  {kValidatedInboxEntryIdTag, FOLDER_IPM_INBOX_VALID, folders.inbox},
                  {PR_IPM_OUTBOX_ENTRYID, FOLDER_IPM_OUTBOX_VALID, folders.outbox},
                  {PR_IPM_WASTEBASKET_ENTRYID, FOLDER_IPM_WASTEBASKET_VALID, folders.deleted_items},
                  {PR_IPM_SENTMAIL_ENTRYID, FOLDER_IPM_SENTMAIL_VALID, folders.sent_items}};
  ULONG mask = 0;
  for (ULONG i = 0; i < count; ++i) {
    const SPropValue& value = values.get()[i];
    if (value.ulPropTag == PR_VALID_FOLDER_MASK) mask = value.Value.ul;
    for (Slot& slot : slots) {
      if (value.ulPropTag == slot.tag) slot.id.reset(mapi::MapiCopyEntryId(value.Value.bin));
    }
  }
  for (Slot& slot : slots) {
    if ((mask & slot.mask_bit) == 0) slot.id.reset();
  }
  return S_OK;
}

bool SameEntry(IMsgStore& store, const SBinary* a, const SBinary* b) {
  if (!a || !b) return false;
  ULONG result = 0;
  const HRESULT hr = store.CompareEntryIDs(a->cb, a->lpb, b->cb, b->lpb, 0, &result);
  return SUCCEEDED(hr) && result != 0;
}

HRESULT ProcessFolders(SessionState& state) {
  diag::DebugTrace("ProcessFolders()");
  diag::DebugTrace("MDB.OpenEntry(RootEID.cb...)");
  mapi::InterfacePtr<IMAPIFolder> root;
  const SBinary* root_id = state.folders.root.get();
  HRESULT hr = root_id ? OpenFolderFromStore(*state.mdb, *root_id, MAPI_DEFERRED_ERRORS, root)
                       : MAPI_E_NOT_FOUND;
  diag::DebugTrace("MDB.OpenEntry(RootEID.cb...) finished");
  if (SUCCEEDED(hr)) {
    CountTopFolderMessages(state, *root);
    WalkPosition top{"", {Bytes(*root_id)}, 0};
    hr = EnumFolders(state, *root, "", top);
  }
  diag::DebugTrace("ProcessFolders() finished");
  return hr;
}

}  // namespace import_session
