// The in-memory mail world of the session tests.
#include "tests/import_session/session_fake_mail.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace session_fake {
namespace {

template <typename Object, typename Interface>
void HandOut(Object& object, Interface** out) {
  object.AddRef();
  *out = &object;
}

}  // namespace

// ---- Memory ----

Memory::~Memory() {
  while (!children_.empty()) FreeLocked(children_.begin()->first);
}

int Memory::Live() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return static_cast<int>(children_.size());
}

SCODE Memory::Allocate(ULONG size, void** out) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  *out = std::malloc(std::max<ULONG>(size, 1));
  if (!*out) return MAPI_E_NOT_ENOUGH_MEMORY;
  children_[*out];
  return S_OK;
}

SCODE Memory::AllocateMore(ULONG size, void* parent, void** out) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto it = children_.find(parent);
  if (it == children_.end()) return MAPI_E_INVALID_PARAMETER;
  void* block = nullptr;
  if (FAILED(Allocate(size, &block))) return MAPI_E_NOT_ENOUGH_MEMORY;
  children_[parent].push_back(block);
  *out = block;
  return S_OK;
}

ULONG Memory::Free(void* block) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return FreeLocked(block);
}

ULONG Memory::FreeLocked(void* block) {
  if (!block) return S_OK;
  auto it = children_.find(block);
  if (it == children_.end()) {
    ++bad_frees;
    return static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
  }
  std::vector<void*> children = std::move(it->second);
  children_.erase(it);
  std::free(block);
  for (void* child : children) {
    if (children_.count(child)) FreeLocked(child);
  }
  return S_OK;
}

// ---- Table ----

HRESULT Table::SetColumns(LPSPropTagArray tags, ULONG) {
  if (FAILED(script_.set_columns_result)) return script_.set_columns_result;
  columns.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
  return S_OK;
}

HRESULT Table::GetRowCount(ULONG, ULONG* count) {
  *count = static_cast<ULONG>(rows_.size());
  return script_.row_count_result;
}

HRESULT Table::SeekRow(BOOKMARK origin, LONG, LONG* sought) {
  if (origin == BOOKMARK_BEGINNING) position_ = 0;
  if (sought) *sought = 0;
  return S_OK;
}

HRESULT Table::QueryRows(LONG count, ULONG, LPSRowSet* out) {
  *out = nullptr;
  const int query = queries_++;
  requested.push_back(count);
  if (query < script_.empty_handed_queries) return script_.empty_handed_result;
  if (script_.failing_from_query >= 0 && query >= script_.failing_from_query) {
    return script_.query_failure;
  }
  const std::size_t n = std::min<std::size_t>(std::max<LONG>(count, 0), rows_.size() - position_);
  void* block = nullptr;
  if (FAILED(world_.memory.Allocate(static_cast<ULONG>(CbNewSRowSet(std::max<std::size_t>(n, 1))),
                                    &block))) {
    return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  auto* rows = static_cast<LPSRowSet>(block);
  rows->cRows = static_cast<ULONG>(n);
  for (std::size_t i = 0; i < n; ++i) {
    const PropBag& bag = rows_[position_ + i];
    std::vector<ULONG> tags = columns;
    if (tags.empty()) {
      for (const auto& [tag, value] : bag) tags.push_back(tag);
    }
    SRow& row = rows->aRow[i];
    row.ulAdrEntryPad = 0;
    row.cValues = static_cast<ULONG>(tags.size());
    world_.CopyValues(bag, tags.data(), row.cValues, &row.lpProps, nullptr);
  }
  position_ += n;
  handed.push_back(static_cast<ULONG>(n));
  *out = rows;
  return S_OK;
}

// ---- Messages and folders ----

HRESULT Message::GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) {
  return world_.GetProps(props, get_props_result, tags, count, values);
}

HRESULT Folder::GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) {
  return world_.GetProps(props, get_props_result, tags, count, values);
}

HRESULT Folder::GetContentsTable(ULONG, LPMAPITABLE* out) {
  if (FAILED(contents_result)) return contents_result;
  std::vector<PropBag> rows;
  for (const Message* message : messages) {
    PropBag row = message->props;
    if (message->listed_without_entry_id) row.erase(PR_ENTRYID);
    rows.push_back(std::move(row));
  }
  last_contents = &world_.NewTable(std::move(rows), contents_script);
  HandOut(*last_contents, out);
  return S_OK;
}

HRESULT Folder::GetHierarchyTable(ULONG, LPMAPITABLE* out) {
  if (FAILED(hierarchy_result)) return hierarchy_result;
  std::vector<PropBag> rows;
  for (const Folder* child : children) {
    PropBag row;
    if (!child->listed_without_entry_id) {
      row[PR_ENTRYID] = child->listed_as ? child->listed_as->id : child->id;
    }
    if (auto name = child->props.find(PR_DISPLAY_NAME); name != child->props.end()) {
      row[PR_DISPLAY_NAME] = name->second;
    }
    rows.push_back(std::move(row));
  }
  HandOut(world_.NewTable(std::move(rows), hierarchy_script), out);
  return S_OK;
}

HRESULT Folder::OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags, ULONG* type,
                          LPUNKNOWN* object) {
  child_open_flags.push_back(flags);
  Folder* target = world_.FindFolder(BytesOf(size, id));
  if (!target) return MAPI_E_NOT_FOUND;
  const HRESULT hr = iid ? target->open_as_subfolder_result : target->open_from_parent_result;
  if (FAILED(hr)) return hr;
  *type = MAPI_FOLDER;
  target->AddRef();
  *object = static_cast<IMAPIFolder*>(target);
  return S_OK;
}

// ---- Store and session ----

HRESULT Store::CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                               ULONG* result) {
  *result = BytesOf(size1, id1) == BytesOf(size2, id2) ? 1 : 0;
  return S_OK;
}

HRESULT Store::OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* type,
                         LPUNKNOWN* object) {
  const Bytes wanted = BytesOf(size, id);
  if (Folder* folder = world_.FindFolder(wanted)) {
    folder_open_flags.push_back(flags);
    if (FAILED(folder->open_from_store_result)) return folder->open_from_store_result;
    *type = MAPI_FOLDER;
    folder->AddRef();
    *object = static_cast<IMAPIFolder*>(folder);
    return S_OK;
  }
  if (Message* message = world_.FindMessage(wanted)) {
    {
      const std::lock_guard<std::mutex> lock(open_mutex_);
      message_open_flags.push_back(flags);
    }
    ++message->opened;
    if (FAILED(message->open_result)) return message->open_result;
    *type = MAPI_MESSAGE;
    message->AddRef();
    *object = static_cast<IMessage*>(message);
    return S_OK;
  }
  return MAPI_E_NOT_FOUND;
}

HRESULT Store::StoreLogoff(ULONG* flags) {
  ++logoffs;
  logoff_flags = *flags;
  return S_OK;
}

HRESULT Session::GetMsgStoresTable(ULONG, LPMAPITABLE* out) {
  HandOut(world_.NewTable(store_rows, store_table_script), out);
  return S_OK;
}

HRESULT Session::OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID, ULONG flags,
                              LPMDB* out) {
  open_store_flags = flags;
  if (FAILED(open_store_result)) return open_store_result;
  if (BytesOf(size, id) != world_.store.id) return MAPI_E_NOT_FOUND;
  HandOut(world_.store, out);
  return S_OK;
}

// ---- Profiles and services ----

HRESULT ServiceAdmin::GetLastError(HRESULT, ULONG, LPMAPIERROR* error) {
  *error = nullptr;
  if (last_error.empty()) return S_OK;
  void* record = nullptr;
  void* text = nullptr;
  world_.memory.Allocate(sizeof(MAPIERROR), &record);
  world_.memory.AllocateMore(static_cast<ULONG>(last_error.size() + 1), record, &text);
  std::memcpy(text, last_error.c_str(), last_error.size() + 1);
  *error = static_cast<LPMAPIERROR>(record);
  **error = MAPIERROR{MAPI_ERROR_VERSION, static_cast<LPSTR>(text), nullptr, 0, 0};
  return S_OK;
}

HRESULT ServiceAdmin::GetMsgServiceTable(ULONG, LPMAPITABLE* out) {
  std::vector<PropBag> rows;
  if (!service_table_empty) {
    rows.push_back({{PR_SERVICE_NAME, std::string("MSPST MS")}, {PR_SERVICE_UID, service_uid}});
  }
  HandOut(world_.NewTable(std::move(rows), {}), out);
  return S_OK;
}

HRESULT ServiceAdmin::CreateMsgService(LPTSTR service, LPTSTR, ULONG_PTR, ULONG) {
  created_services.push_back(service);
  return failing_services.count(service) ? MAPI_E_NOT_FOUND : S_OK;
}

HRESULT ServiceAdmin::ConfigureMsgService(LPMAPIUID uid, ULONG_PTR, ULONG flags, ULONG count,
                                          LPSPropValue values) {
  ++configured;
  configured_uid = BytesOf(sizeof uid->ab, uid->ab);
  configured_flags = flags;
  configured_tags.clear();
  for (ULONG i = 0; i < count; ++i) {
    configured_tags.push_back(values[i].ulPropTag);
    if (PROP_TYPE(values[i].ulPropTag) == PT_STRING8) {
      configured_strings[values[i].ulPropTag] = values[i].Value.lpszA;
    }
  }
  return configure_result;
}

HRESULT ProfAdmin::CreateProfile(LPTSTR name, LPTSTR password, ULONG_PTR, ULONG) {
  created.push_back(name);
  created_passwords.push_back(password);
  if (profiles.count(name)) return E_ACCESSDENIED;
  if (FAILED(create_result)) return create_result;
  profiles.insert(name);
  return S_OK;
}

HRESULT ProfAdmin::DeleteProfile(LPTSTR name, ULONG) {
  deleted.push_back(name);
  return profiles.erase(name) ? S_OK : MAPI_E_NOT_FOUND;
}

HRESULT ProfAdmin::AdminServices(LPTSTR, LPTSTR, ULONG_PTR, ULONG, LPSERVICEADMIN* admin) {
  if (FAILED(admin_services_result)) return admin_services_result;
  HandOut(world_.service_admin, admin);
  return S_OK;
}

// ---- World ----

World::World() {
  root_ = &NewFolder(nullptr, "Top of Personal Folders", std::nullopt);
  specials[PR_IPM_SUBTREE_ENTRYID] = root_->id;
  session.store_rows.push_back({{PR_DEFAULT_STORE, true}, {PR_ENTRYID, store.id}});
}

World::~World() = default;

Bytes World::NewId(char kind) {
  const std::uint32_t n = next_id_++;
  return Bytes{0,
               0,
               0,
               0,
               static_cast<BYTE>(kind),
               static_cast<BYTE>(n),
               static_cast<BYTE>(n >> 8),
               static_cast<BYTE>(n >> 16)};
}

Folder& World::AddFolder(Folder& parent, const std::string& name,
                         std::optional<std::string> container_class) {
  return NewFolder(&parent, name, container_class);
}

Folder& World::NewFolder(Folder* parent, const std::string& name,
                         const std::optional<std::string>& container_class) {
  folders_.push_back(std::make_unique<Folder>(*this, NewId('F')));
  Folder& folder = *folders_.back();
  folder.props[PR_DISPLAY_NAME] = name;
  folder.props[PR_ENTRYID] = folder.id;
  folder.props[PR_SUBFOLDERS] = false;
  if (container_class) folder.props[PR_CONTAINER_CLASS] = *container_class;
  if (parent) {
    parent->children.push_back(&folder);
    parent->props[PR_SUBFOLDERS] = true;
  }
  return folder;
}

Message& World::AddMessage(Folder& folder, const std::string& subject, FILETIME delivery) {
  messages_.push_back(std::make_unique<Message>(*this, NewId('M')));
  Message& message = *messages_.back();
  message.props[PR_ENTRYID] = message.id;
  message.props[PR_SUBJECT] = subject;
  message.props[PR_MESSAGE_CLASS] = std::string("IPM.Note");
  message.props[PR_HASATTACH] = false;
  message.props[PR_MESSAGE_DELIVERY_TIME] = delivery;
  // Findings can be set aside (a message whose properties cannot be read cannot), so that the
  // session's thread composes further messages while its own wait.
  message.props[PR_INTEGRITY_FINDINGS_SET_ASIDE] = true;
  folder.messages.push_back(&message);
  return message;
}

Folder* World::FindFolder(const Bytes& id) {
  for (auto& folder : folders_) {
    if (folder->id == id) return folder.get();
  }
  return nullptr;
}

Message* World::FindMessage(const Bytes& id) {
  for (auto& message : messages_) {
    if (message->id == id) return message.get();
  }
  return nullptr;
}

Table& World::NewTable(std::vector<PropBag> rows, const TableScript& script) {
  tables_.push_back(std::make_unique<Table>(*this, std::move(rows), script));
  return *tables_.back();
}

SCODE World::CopyValues(const PropBag& bag, const ULONG* tags, ULONG count, LPSPropValue* out,
                        bool* missing) {
  *out = nullptr;
  void* block = nullptr;
  if (FAILED(memory.Allocate(static_cast<ULONG>(sizeof(SPropValue) * std::max<ULONG>(count, 1)),
                             &block))) {
    return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  auto* values = static_cast<LPSPropValue>(block);
  for (ULONG i = 0; i < count; ++i) {
    SPropValue& value = values[i];
    value = SPropValue{};
    const auto found = bag.find(tags[i]);
    if (found == bag.end()) {
      value.ulPropTag = CHANGE_PROP_TYPE(tags[i], PT_ERROR);
      value.Value.err = MAPI_E_NOT_FOUND;
      if (missing) *missing = true;
      continue;
    }
    value.ulPropTag = tags[i];
    const Value& stored = found->second;
    if (auto* flag = std::get_if<bool>(&stored)) {
      value.Value.b = *flag ? 1 : 0;
    } else if (auto* number = std::get_if<LONG>(&stored)) {
      value.Value.l = *number;
    } else if (auto* time = std::get_if<FILETIME>(&stored)) {
      value.Value.ft = *time;
    } else if (auto* text = std::get_if<std::string>(&stored)) {
      void* copy = nullptr;
      memory.AllocateMore(static_cast<ULONG>(text->size() + 1), block, &copy);
      std::memcpy(copy, text->c_str(), text->size() + 1);
      value.Value.lpszA = static_cast<LPSTR>(copy);
    } else if (auto* bytes = std::get_if<Bytes>(&stored)) {
      void* copy = nullptr;
      memory.AllocateMore(static_cast<ULONG>(bytes->size()), block, &copy);
      if (!bytes->empty()) std::memcpy(copy, bytes->data(), bytes->size());
      value.Value.bin = SBinary{static_cast<ULONG>(bytes->size()), static_cast<LPBYTE>(copy)};
    }
  }
  *out = values;
  return S_OK;
}

HRESULT World::GetProps(const PropBag& bag, HRESULT scripted, LPSPropTagArray tags, ULONG* count,
                        LPSPropValue* values) {
  if (FAILED(scripted)) return scripted;
  bool missing = false;
  *count = tags->cValues;
  const SCODE sc = CopyValues(bag, tags->aulPropTag, tags->cValues, values, &missing);
  return FAILED(sc) ? sc : missing ? MAPI_W_ERRORS_RETURNED : S_OK;
}

int World::OutstandingReferences() const {
  int refs = prof_admin.refs + service_admin.refs + session.refs + store.refs;
  for (const auto& folder : folders_) refs += folder->refs;
  for (const auto& message : messages_) refs += message->refs;
  for (const auto& table : tables_) refs += table->refs;
  return refs;
}

HRESULT World::Initialize(LPVOID) {
  ++initialized;
  return S_OK;
}

HRESULT World::LogonEx(ULONG_PTR, LPTSTR profile, LPTSTR password, ULONG flags,
                       LPMAPISESSION* out) {
  ++logons;
  logon_profile = profile ? std::optional<std::string>(profile) : std::nullopt;
  logon_password = password ? std::optional<std::string>(password) : std::nullopt;
  logon_flags = flags;
  if (FAILED(logon_result)) return logon_result;
  HandOut(session, out);
  return S_OK;
}

SCODE World::AllocateBuffer(ULONG size, LPVOID* buffer) { return memory.Allocate(size, buffer); }

SCODE World::AllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) {
  return memory.AllocateMore(size, parent, buffer);
}

ULONG World::FreeBuffer(LPVOID buffer) { return memory.Free(buffer); }

HRESULT World::AdminProfiles(ULONG, LPPROFADMIN* out) {
  if (FAILED(admin_profiles_result)) return admin_profiles_result;
  HandOut(prof_admin, out);
  return S_OK;
}

HRESULT World::QueryAllRows(LPMAPITABLE, LPSPropTagArray, LPSRestriction, LPSSortOrderSet, LONG,
                            LPSRowSet*) {
  return MAPI_E_NO_SUPPORT;
}

void World::FreeRows(LPSRowSet rows) {
  if (!rows) return;
  for (ULONG i = 0; i < rows->cRows; ++i) memory.Free(rows->aRow[i].lpProps);
  memory.Free(rows);
}

HRESULT World::WrapCompressedRtf(LPSTREAM, ULONG, LPSTREAM*) { return MAPI_E_NO_SUPPORT; }

HRESULT World::GetOneProp(LPMAPIPROP object, ULONG tag, LPSPropValue* value) {
  SPropTagArray tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  const HRESULT hr = object->GetProps(&tags, 0, &count, &values);
  if (FAILED(hr)) return hr;
  if (PROP_TYPE(values[0].ulPropTag) == PT_ERROR) {
    const HRESULT missing = values[0].Value.err;
    memory.Free(values);
    return missing;
  }
  *value = values;
  return S_OK;
}

HRESULT World::ValidateIpmSubtree(LPMDB, ULONG flags, ULONG* count, LPSPropValue* values,
                                  LPMAPIERROR*) {
  validate_flags = flags;
  if (FAILED(validate_result)) return validate_result;
  static const std::map<ULONG, ULONG> kMaskBits = {
      {PR_IPM_SUBTREE_ENTRYID, FOLDER_IPM_SUBTREE_VALID},
      {kValidatedInboxEntryIdTag, FOLDER_IPM_INBOX_VALID},
      {PR_IPM_OUTBOX_ENTRYID, FOLDER_IPM_OUTBOX_VALID},
      {PR_IPM_WASTEBASKET_ENTRYID, FOLDER_IPM_WASTEBASKET_VALID},
      {PR_IPM_SENTMAIL_ENTRYID, FOLDER_IPM_SENTMAIL_VALID}};
  ULONG mask = 0;
  PropBag bag;
  std::vector<ULONG> tags;
  for (const auto& [tag, id] : specials) {
    bag[tag] = id;
    tags.push_back(tag);
    if (auto bit = kMaskBits.find(tag); bit != kMaskBits.end()) mask |= bit->second;
  }
  bag[PR_VALID_FOLDER_MASK] = static_cast<LONG>(valid_folder_mask.value_or(mask));
  tags.push_back(PR_VALID_FOLDER_MASK);
  *count = static_cast<ULONG>(tags.size());
  return CopyValues(bag, tags.data(), *count, values, nullptr);
}

}  // namespace session_fake
