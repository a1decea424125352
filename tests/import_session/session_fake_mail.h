// An in-memory mail world for the session tests: MAPI memory with counted blocks, a profile store
// with one personal-folders service, a session with a store table, a store holding a folder tree
// with special folders, contents and hierarchy tables, and messages. Tests build the world, script
// failures into it, connect it to the stand-in library, and afterwards read what was called and
// check that every block and every reference came back.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "tests/import_session/session_fake_backend.h"
#include "tests/import_session/session_fake_defaults.h"

namespace session_fake {

using Bytes = std::vector<BYTE>;
using Value = std::variant<bool, LONG, std::string, Bytes, FILETIME>;
// Property values by their full tag; a tag not present reads as PT_ERROR / MAPI_E_NOT_FOUND.
using PropBag = std::map<ULONG, Value>;

class World;

// MAPI memory: blocks with children tied to them, freed together.
class Memory {
 public:
  ~Memory();
  SCODE Allocate(ULONG size, void** out);
  SCODE AllocateMore(ULONG size, void* parent, void** out);
  ULONG Free(void* block);
  int Live() const;
  int bad_frees = 0;  // frees of blocks that were not live

 private:
  ULONG FreeLocked(void* block);

  // Guards both members: blocks are allocated and freed on the session's worker threads too.
  mutable std::recursive_mutex mutex_;
  std::unordered_map<void*, std::vector<void*>> children_;  // every live block
};

// Scripted behaviour of one table.
struct TableScript {
  HRESULT row_count_result = S_OK;
  HRESULT set_columns_result = S_OK;
  int empty_handed_queries = 0;  // QueryRows calls that hand back no row set, before the others
  HRESULT empty_handed_result = S_OK;
  int failing_from_query = -1;  // from this QueryRows call on (counted from 0), the call fails
  HRESULT query_failure = MAPI_E_CORRUPT_DATA;
};

class Table : public TableDefaults {
 public:
  Table(World& world, std::vector<PropBag> rows, TableScript script)
      : world_(world), rows_(std::move(rows)), script_(script) {}
  HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE GetRowCount(ULONG flags, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK origin, LONG rows, LONG* sought) override;
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, LPSRowSet* rows) override;

  std::vector<ULONG> columns;
  std::vector<LONG> requested;  // the count of each QueryRows call
  std::vector<ULONG> handed;    // the rows each successful call handed out

 private:
  World& world_;
  std::vector<PropBag> rows_;
  TableScript script_;
  std::size_t position_ = 0;
  int queries_ = 0;
};

class Message : public MessageDefaults {
 public:
  Message(World& world, Bytes id) : id(std::move(id)), world_(world) {}
  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count,
                                     LPSPropValue* values) override;

  const Bytes id;
  PropBag props;
  bool listed_without_entry_id = false;  // its contents-table row lacks PR_ENTRYID
  HRESULT open_result = S_OK;
  HRESULT get_props_result = S_OK;
  std::atomic<int> opened = 0;

 private:
  World& world_;
};

class Folder : public FolderDefaults {
 public:
  Folder(World& world, Bytes id) : id(std::move(id)), world_(world) {}
  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count,
                                     LPSPropValue* values) override;
  HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG flags, LPMAPITABLE* table) override;
  HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG flags, LPMAPITABLE* table) override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags,
                                      ULONG* type, LPUNKNOWN* object) override;

  const Bytes id;
  PropBag props;
  std::vector<Folder*> children;
  std::vector<Message*> messages;
  TableScript contents_script;
  TableScript hierarchy_script;
  HRESULT contents_result = S_OK;
  HRESULT hierarchy_result = S_OK;
  HRESULT get_props_result = S_OK;
  HRESULT open_from_parent_result = S_OK;   // opening it without an interface id
  HRESULT open_as_subfolder_result = S_OK;  // opening it from its parent as IMAPIFolder
  HRESULT open_from_store_result = S_OK;
  bool listed_without_entry_id = false;  // its hierarchy-table row lacks PR_ENTRYID
  Folder* listed_as = nullptr;           // its hierarchy-table row names this folder instead
  Table* last_contents = nullptr;
  std::vector<ULONG> child_open_flags;  // of every OpenEntry on this folder, in call order

 private:
  World& world_;
};

class Store : public StoreDefaults {
 public:
  explicit Store(World& world) : world_(world) {}
  HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2,
                                            ULONG flags, ULONG* result) override;
  HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG flags,
                                      ULONG* type, LPUNKNOWN* object) override;
  HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* flags) override;

  const Bytes id{'S', 'T', 'O', 'R', 'E'};
  std::vector<ULONG> folder_open_flags;  // of every folder OpenEntry, in call order
  std::vector<ULONG> message_open_flags;
  int logoffs = 0;
  ULONG logoff_flags = 0;

 private:
  std::mutex open_mutex_;  // guards the lists above: messages are opened on worker threads too
  World& world_;
};

class Session : public SessionDefaults {
 public:
  explicit Session(World& world) : world_(world) {}
  HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG flags, LPMAPITABLE* table) override;
  HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR ui_param, ULONG size, LPENTRYID id, LPCIID iid,
                                         ULONG flags, LPMDB* store) override;

  std::vector<PropBag> store_rows;  // the store table: PR_DEFAULT_STORE and PR_ENTRYID
  TableScript store_table_script;
  HRESULT open_store_result = S_OK;
  ULONG open_store_flags = 0;

 private:
  World& world_;
};

class ServiceAdmin : public ServiceAdminDefaults {
 public:
  explicit ServiceAdmin(World& world) : world_(world) {}
  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT code, ULONG flags, LPMAPIERROR* error) override;
  HRESULT STDMETHODCALLTYPE GetMsgServiceTable(ULONG flags, LPMAPITABLE* table) override;
  HRESULT STDMETHODCALLTYPE CreateMsgService(LPTSTR service, LPTSTR display_name,
                                             ULONG_PTR ui_param, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE ConfigureMsgService(LPMAPIUID uid, ULONG_PTR ui_param, ULONG flags,
                                                ULONG count, LPSPropValue values) override;

  std::set<std::string> failing_services;
  std::vector<std::string> created_services;
  Bytes service_uid = Bytes(16, 0x5A);
  bool service_table_empty = false;
  HRESULT configure_result = S_OK;
  std::string last_error;  // GetLastError's text; empty: no extended error
  // What ConfigureMsgService received.
  int configured = 0;
  Bytes configured_uid;
  ULONG configured_flags = 0;
  std::vector<ULONG> configured_tags;
  std::map<ULONG, std::string> configured_strings;

 private:
  World& world_;
};

class ProfAdmin : public ProfAdminDefaults {
 public:
  explicit ProfAdmin(World& world) : world_(world) {}
  HRESULT STDMETHODCALLTYPE CreateProfile(LPTSTR name, LPTSTR password, ULONG_PTR ui_param,
                                          ULONG flags) override;
  HRESULT STDMETHODCALLTYPE DeleteProfile(LPTSTR name, ULONG flags) override;
  HRESULT STDMETHODCALLTYPE AdminServices(LPTSTR name, LPTSTR password, ULONG_PTR ui_param,
                                          ULONG flags, LPSERVICEADMIN* admin) override;

  std::set<std::string> profiles;  // profiles that exist
  std::vector<std::string> created;
  std::vector<std::string> created_passwords;
  std::vector<std::string> deleted;
  HRESULT create_result = S_OK;  // a failure other than E_ACCESSDENIED; profiles that exist
                                 // already answer E_ACCESSDENIED
  HRESULT admin_services_result = S_OK;

 private:
  World& world_;
};

class World final : public Backend {
 public:
  World();
  ~World();

  // The tree: the IPM subtree's folder is the root; folders are mail folders unless given
  // another class (nullopt: no class at all).
  Folder& root() { return *root_; }
  Folder& AddFolder(Folder& parent, const std::string& name,
                    std::optional<std::string> container_class = "IPF.Note");
  Message& AddMessage(Folder& folder, const std::string& subject, FILETIME delivery = {});
  // Special folders handed out by HrValidateIPMSubtree, under their tags.
  void SetSpecial(ULONG tag, const Folder& folder) { specials[tag] = folder.id; }

  Folder* FindFolder(const Bytes& id);
  Message* FindMessage(const Bytes& id);
  Table& NewTable(std::vector<PropBag> rows, const TableScript& script);
  // Values for tags from bag in one MAPI allocation; true when one was missing.
  SCODE CopyValues(const PropBag& bag, const ULONG* tags, ULONG count, LPSPropValue* out,
                   bool* missing);
  // IMAPIProp::GetProps over bag, or the scripted failure.
  HRESULT GetProps(const PropBag& bag, HRESULT scripted, LPSPropTagArray tags, ULONG* count,
                   LPSPropValue* values);
  // References handed out and not released, over every object of the world.
  int OutstandingReferences() const;

  // Backend.
  HRESULT Initialize(LPVOID init) override;
  HRESULT LogonEx(ULONG_PTR ui_param, LPTSTR profile, LPTSTR password, ULONG flags,
                  LPMAPISESSION* session) override;
  SCODE AllocateBuffer(ULONG size, LPVOID* buffer) override;
  SCODE AllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) override;
  ULONG FreeBuffer(LPVOID buffer) override;
  HRESULT AdminProfiles(ULONG flags, LPPROFADMIN* prof_admin) override;
  HRESULT QueryAllRows(LPMAPITABLE table, LPSPropTagArray tags, LPSRestriction restriction,
                       LPSSortOrderSet sort, LONG row_limit, LPSRowSet* rows) override;
  void FreeRows(LPSRowSet rows) override;
  HRESULT WrapCompressedRtf(LPSTREAM compressed, ULONG flags, LPSTREAM* uncompressed) override;
  HRESULT GetOneProp(LPMAPIPROP object, ULONG tag, LPSPropValue* value) override;
  HRESULT ValidateIpmSubtree(LPMDB store, ULONG flags, ULONG* count, LPSPropValue* values,
                             LPMAPIERROR* error) override;

  Memory memory;
  ProfAdmin prof_admin{*this};
  ServiceAdmin service_admin{*this};
  Session session{*this};
  Store store{*this};

  // Scripted answers and records of the library functions.
  int initialized = 0;
  HRESULT admin_profiles_result = S_OK;
  HRESULT logon_result = S_OK;
  int logons = 0;
  std::optional<std::string> logon_profile;  // nullopt: no profile name was passed
  std::optional<std::string> logon_password;
  ULONG logon_flags = 0;
  HRESULT validate_result = S_OK;
  ULONG validate_flags = 0;
  std::map<ULONG, Bytes> specials;
  std::optional<ULONG> valid_folder_mask;  // nullopt: every special folder handed out is valid

 private:
  std::vector<std::unique_ptr<Folder>> folders_;
  std::vector<std::unique_ptr<Message>> messages_;
  std::vector<std::unique_ptr<Table>> tables_;
  Folder* root_ = nullptr;
  std::uint32_t next_id_ = 1;
  Bytes NewId(char kind);
  Folder& NewFolder(Folder* parent, const std::string& name,
                    const std::optional<std::string>& container_class);
};

// The bytes of an entry id.
inline Bytes BytesOf(ULONG size, const BYTE* bytes) { return Bytes(bytes, bytes + size); }

}  // namespace session_fake
