// The interfaces of the mail library's objects, as abstract classes whose virtual methods stand in
// the order the public mail SDK publishes them, so that the method tables of the program and of the
// library agree. Every method returns an HRESULT except AddRef and Release. Out pointers are set on
// success; memory they receive is released with MAPIFreeBuffer (row sets with FreeProws), objects
// with Release. Destructors are protected and not virtual: objects die through Release, and a
// virtual destructor would shift the method table.
#pragma once

#include "libs/mapi/mapi_types.h"

class IUnknown;
class IMAPIProp;
class IMAPIContainer;
class IMAPIFolder;
class IMsgStore;
class IMAPISession;
class IMAPITable;
class IMessage;
class IAttach;
class IStream;
class IProfAdmin;
class IMsgServiceAdmin;

// Objects the program only passes through; never defined here.
class IMAPIAdviseSink;
class IMAPIProgress;
class IAddrBook;
class IProfSect;
class IProviderAdmin;
struct NOTIFICATION;

using LPUNKNOWN = IUnknown*;
using LPMAPIPROP = IMAPIProp*;
using LPMAPICONTAINER = IMAPIContainer*;
using LPMAPIFOLDER = IMAPIFolder*;
using LPMDB = IMsgStore*;
using LPMAPISESSION = IMAPISession*;
using LPMAPITABLE = IMAPITable*;
using LPMESSAGE = IMessage*;
using LPATTACH = IAttach*;
using LPSTREAM = IStream*;
using LPPROFADMIN = IProfAdmin*;
using LPSERVICEADMIN = IMsgServiceAdmin*;
using LPMAPIADVISESINK = IMAPIAdviseSink*;
using LPMAPIPROGRESS = IMAPIProgress*;
using LPADRBOOK = IAddrBook*;
using LPPROFSECT = IProfSect*;
using LPPROVIDERADMIN = IProviderAdmin*;
using LPNOTIFICATION = NOTIFICATION*;

class IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;
};

// An object with properties.
class IMAPIProp : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags,
                                                 LPMAPIERROR* lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveChanges(ULONG ulFlags) = 0;
  // One value per requested tag, in tag order; a value that could not be read has type PT_ERROR
  // and the call then returns MAPI_W_ERRORS_RETURNED.
  virtual HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray lpPropTagArray, ULONG ulFlags,
                                             ULONG* lpcValues, LPSPropValue* lppPropArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPropList(ULONG ulFlags,
                                                LPSPropTagArray* lppPropTagArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProperty(ULONG ulPropTag, LPCIID lpiid,
                                                 ULONG ulInterfaceOptions, ULONG ulFlags,
                                                 LPUNKNOWN* lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProps(ULONG cValues, LPSPropValue lpPropArray,
                                             LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray lpPropTagArray,
                                                LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyTo(ULONG ciidExclude, LPCIID rgiidExclude,
                                           LPSPropTagArray lpExcludeProps, ULONG_PTR ulUIParam,
                                           LPMAPIPROGRESS lpProgress, LPCIID lpInterface,
                                           LPVOID lpDestObj, ULONG ulFlags,
                                           LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray lpIncludeProps, ULONG_PTR ulUIParam,
                                              LPMAPIPROGRESS lpProgress, LPCIID lpInterface,
                                              LPVOID lpDestObj, ULONG ulFlags,
                                              LPSPropProblemArray* lppProblems) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray* lppPropTags,
                                                    LPGUID lpPropSetGuid, ULONG ulFlags,
                                                    ULONG* lpcPropNames,
                                                    LPMAPINAMEID** lpppPropNames) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG cPropNames, LPMAPINAMEID* lppPropNames,
                                                    ULONG ulFlags,
                                                    LPSPropTagArray* lppPropTags) = 0;

 protected:
  ~IMAPIProp() = default;
};

// An object that holds others: its contents and hierarchy tables, and opening what they list.
class IMAPIContainer : public IMAPIProp {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID,
                                              LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
                                              LPUNKNOWN* lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSearchCriteria(LPSRestriction lpRestriction,
                                                      LPENTRYLIST lpContainerList,
                                                      ULONG ulSearchFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG ulFlags, LPSRestriction* lppRestriction,
                                                      LPENTRYLIST* lppContainerList,
                                                      ULONG* lpulSearchState) = 0;

 protected:
  ~IMAPIContainer() = default;
};

class IMAPIFolder : public IMAPIContainer {
 public:
  virtual HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID lpInterface, ULONG ulFlags,
                                                  LPMESSAGE* lppMessage) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST lpMsgList, LPCIID lpInterface,
                                                 LPVOID lpDestFolder, ULONG_PTR ulUIParam,
                                                 LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam,
                                                   LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFolder(ULONG ulFolderType, LPTSTR lpszFolderName,
                                                 LPTSTR lpszFolderComment, LPCIID lpInterface,
                                                 ULONG ulFlags, LPMAPIFOLDER* lppFolder) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyFolder(ULONG cbEntryID, LPENTRYID lpEntryID,
                                               LPCIID lpInterface, LPVOID lpDestFolder,
                                               LPTSTR lpszNewFolderName, ULONG_PTR ulUIParam,
                                               LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG cbEntryID, LPENTRYID lpEntryID,
                                                 ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                                                 ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam,
                                                 LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG cbEntryID, LPENTRYID lpEntryID,
                                                     ULONG ulFlags, ULONG* lpulMessageStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG cbEntryID, LPENTRYID lpEntryID,
                                                     ULONG ulNewStatus, ULONG ulNewStatusMask,
                                                     ULONG* lpulOldStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveContentsSort(LPSSortOrderSet lpSortCriteria,
                                                     ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                                                ULONG ulFlags) = 0;

 protected:
  ~IMAPIFolder() = default;
};

class IMsgStore : public IMAPIProp {
 public:
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                                           LPMAPIADVISESINK lpAdviseSink,
                                           ULONG_PTR* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR ulConnection) = 0;
  // *lpulResult is non-zero when both ids name the same object.
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1,
                                                    ULONG cbEntryID2, LPENTRYID lpEntryID2,
                                                    ULONG ulFlags, ULONG* lpulResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID,
                                              LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
                                              LPUNKNOWN* lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPTSTR lpszMessageClass, ULONG ulFlags,
                                                     ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPTSTR lpszMessageClass, ULONG ulFlags,
                                                     ULONG* lpcbEntryID, LPENTRYID* lppEntryID,
                                                     LPTSTR* lppszExplicitClass) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  // The flags are in and out: the caller's request, then what the store did.
  virtual HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* lpulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG cbEntryID, LPENTRYID lpEntryID,
                                                ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLockState(LPMESSAGE lpMessage, ULONG ulLockState) = 0;
  virtual HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG ulFlags, ULONG cbEntryID,
                                                LPENTRYID lpEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION lpNotification) = 0;

 protected:
  ~IMsgStore() = default;
};

class IMAPISession : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags,
                                                 LPMAPIERROR* lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR ulUIParam, ULONG cbEntryID,
                                                 LPENTRYID lpEntryID, LPCIID lpInterface,
                                                 ULONG ulFlags, LPMDB* lppMDB) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR ulUIParam, LPCIID lpInterface,
                                                    ULONG ulFlags, LPADRBOOK* lppAdrBook) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID lpUID, LPCIID lpInterface,
                                                       ULONG ulFlags, LPPROFSECT* lppProfSect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID,
                                              LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType,
                                              LPUNKNOWN* lppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1,
                                                    ULONG cbEntryID2, LPENTRYID lpEntryID2,
                                                    ULONG ulFlags, ULONG* lpulResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                                           LPMAPIADVISESINK lpAdviseSink,
                                           ULONG_PTR* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR ulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR ulUIParam, ULONG ulFlags,
                                                   LPTSTR lpszAdrType, LPMESSAGE lpMessage) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPTSTR lpszAdrType, ULONG ulFlags,
                                                           ULONG* lpcValues,
                                                           LPSPropValue* lppOptions) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG ulFlags, ULONG* lpcAdrTypes,
                                                 LPTSTR** lpppszAdrTypes) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR ulUIParam, ULONG ulFlags,
                                           ULONG ulReserved) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG ulFlags, ULONG cbEntryID,
                                                    LPENTRYID lpEntryID) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdminServices(ULONG ulFlags,
                                                  LPSERVICEADMIN* lppServiceAdmin) = 0;
  virtual HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR ulUIParam, LPMDB lpMsgStore,
                                             LPMAPIFOLDER lpParentFolder, LPCIID lpInterface,
                                             ULONG_PTR ulMessageToken, LPMESSAGE lpMessageSent,
                                             ULONG ulFlags, ULONG ulMessageStatus,
                                             ULONG ulMessageFlags, ULONG ulAccess,
                                             LPSTR lpszMessageClass) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrepareForm(LPCIID lpInterface, LPMESSAGE lpMessage,
                                                ULONG_PTR* lpulMessageToken) = 0;

 protected:
  ~IMAPISession() = default;
};

// Rows of objects with chosen columns, read in batches from a cursor.
class IMAPITable : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags,
                                                 LPMAPIERROR* lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise(ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink,
                                           ULONG_PTR* lpulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG_PTR ulConnection) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatus(ULONG* lpulTableStatus, ULONG* lpulTableType) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray lpPropTagArray, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColumns(ULONG ulFlags,
                                                 LPSPropTagArray* lpPropTagArray) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowCount(ULONG ulFlags, ULONG* lpulCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK bkOrigin, LONG lRowCount,
                                            LONG* lplRowsSought) = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG ulNumerator, ULONG ulDenominator) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* lpulRow, ULONG* lpulNumerator,
                                                  ULONG* lpulDenominator) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction lpRestriction, BOOKMARK bkOrigin,
                                            ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction lpRestriction, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK* lpbkPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK bkPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet* lppSortCriteria) = 0;
  // Rows hold the columns in SetColumns order; zero rows means the end of the table.
  virtual HRESULT STDMETHODCALLTYPE QueryRows(LONG lRowCount, ULONG ulFlags,
                                              LPSRowSet* lppRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE Abort() = 0;
  virtual HRESULT STDMETHODCALLTYPE ExpandRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey,
                                              ULONG ulRowCount, ULONG ulFlags, LPSRowSet* lppRows,
                                              ULONG* lpulMoreRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE CollapseRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey,
                                                ULONG ulFlags, ULONG* lpulRowCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG ulFlags, ULONG ulTimeout,
                                                      ULONG* lpulTableStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG ulFlags, ULONG cbInstanceKey,
                                                     LPBYTE lpbInstanceKey,
                                                     ULONG* lpcbCollapseState,
                                                     LPBYTE* lppbCollapseState) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG ulFlags, ULONG cbCollapseState,
                                                     LPBYTE pbCollapseState,
                                                     BOOKMARK* lpbkLocation) = 0;

 protected:
  ~IMAPITable() = default;
};

class IMessage : public IMAPIProp {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAttach(ULONG ulAttachmentNum, LPCIID lpInterface,
                                               ULONG ulFlags, LPATTACH* lppAttach) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID lpInterface, ULONG ulFlags,
                                                 ULONG* lpulAttachmentNum, LPATTACH* lppAttach) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG ulAttachmentNum, ULONG_PTR ulUIParam,
                                                 LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG ulFlags, LPADRLIST lpMods) = 0;
  virtual HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG ulFlags) = 0;

 protected:
  ~IMessage() = default;
};

// An attachment adds no methods of its own to those of a property object.
class IAttach : public IMAPIProp {
 protected:
  ~IAttach() = default;
};

class ISequentialStream : public IUnknown {
 public:
  // *pcbRead < cb only at the end of the data; damaged data is a failure, not a short read.
  virtual HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
  virtual HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;

 protected:
  ~ISequentialStream() = default;
};

class IStream : public ISequentialStream {
 public:
  virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                         ULARGE_INTEGER* plibNewPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb,
                                           ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) = 0;
  virtual HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
  virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb,
                                               DWORD dwLockType) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb,
                                                 DWORD dwLockType) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) = 0;

 protected:
  ~IStream() = default;
};

// Creates, deletes and configures profiles.
class IProfAdmin : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags,
                                                 LPMAPIERROR* lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProfileTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateProfile(LPTSTR lpszProfileName, LPTSTR lpszPassword,
                                                  ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteProfile(LPTSTR lpszProfileName, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE ChangeProfilePassword(LPTSTR lpszProfileName,
                                                          LPTSTR lpszOldPassword,
                                                          LPTSTR lpszNewPassword,
                                                          ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyProfile(LPTSTR lpszOldProfileName, LPTSTR lpszOldPassword,
                                                LPTSTR lpszNewProfileName, ULONG_PTR ulUIParam,
                                                ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE RenameProfile(LPTSTR lpszOldProfileName, LPTSTR lpszOldPassword,
                                                  LPTSTR lpszNewProfileName, ULONG_PTR ulUIParam,
                                                  ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultProfile(LPTSTR lpszProfileName, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdminServices(LPTSTR lpszProfileName, LPTSTR lpszPassword,
                                                  ULONG_PTR ulUIParam, ULONG ulFlags,
                                                  LPSERVICEADMIN* lppServiceAdmin) = 0;

 protected:
  ~IProfAdmin() = default;
};

// Adds, configures and removes the message services of one profile.
class IMsgServiceAdmin : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT hResult, ULONG ulFlags,
                                                 LPMAPIERROR* lppMAPIError) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMsgServiceTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateMsgService(LPTSTR lpszService, LPTSTR lpszDisplayName,
                                                     ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteMsgService(LPMAPIUID lpUID) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyMsgService(LPMAPIUID lpUID, LPTSTR lpszDisplayName,
                                                   LPCIID lpInterfaceToCopy, LPCIID lpInterfaceDst,
                                                   LPVOID lpObjectDst, ULONG_PTR ulUIParam,
                                                   ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE RenameMsgService(LPMAPIUID lpUID, ULONG ulFlags,
                                                     LPTSTR lpszDisplayName) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureMsgService(LPMAPIUID lpUID, ULONG_PTR ulUIParam,
                                                        ULONG ulFlags, ULONG cValues,
                                                        LPSPropValue lpProps) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID lpUID, LPCIID lpInterface,
                                                       ULONG ulFlags, LPPROFSECT* lppProfSect) = 0;
  virtual HRESULT STDMETHODCALLTYPE MsgServiceTransportOrder(ULONG cUID, LPMAPIUID lpUIDList,
                                                             ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdminProviders(LPMAPIUID lpUID, ULONG ulFlags,
                                                   LPPROVIDERADMIN* lppProviderAdmin) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPrimaryIdentity(LPMAPIUID lpUID, ULONG ulFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProviderTable(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;

 protected:
  ~IMsgServiceAdmin() = default;
};
