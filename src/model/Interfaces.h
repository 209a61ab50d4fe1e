#pragma once

// The item model's COM-style interfaces. Operations are declared in their fixed slot order;
// every function that hands out an interface hands it out with one reference that the caller
// releases (TComPtr does it).

#include "model/ComPtr.h"
#include "model/Guid.h"

#include <cstdint>
#include <string>

class CKivDatabase;
class CMemFile;
class CKivCustomFields;

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
// Windows file time: 100-nanosecond intervals since 1601-01-01 UTC.
using FILETIME64 = std::uint64_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// Interface identifiers.
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITresorix = {
    0xDA7B60F0, 0xE5CB, 0x4A12, {0xAD, 0x68, 0x1D, 0xA9, 0x59, 0x01, 0x32, 0x58}};
inline constexpr IID IID_ITreeItem = {
    0xA8F1D09F, 0x2EE3, 0x4889, {0x92, 0x12, 0x7A, 0xC2, 0xE4, 0xD6, 0x1A, 0x4F}};
inline constexpr IID IID_ITreeIterator = {
    0xDF1A3ED6, 0xB19D, 0x41DF, {0x87, 0x09, 0xF0, 0x1F, 0x43, 0xEC, 0x78, 0xC9}};
inline constexpr IID IID_ICommonProperties = {
    0x99E71424, 0x6913, 0x4A1C, {0x8B, 0xFD, 0x5E, 0xEB, 0x1B, 0x82, 0xB4, 0x34}};
inline constexpr IID IID_IPasswordProperties = {
    0xFFFC146E, 0xB6EB, 0x4FD6, {0x8C, 0x55, 0x7D, 0x07, 0x89, 0x06, 0x9D, 0x7B}};
inline constexpr IID IID_ICreditCardProperties = {
    0x903334C6, 0x94A2, 0x4AA5, {0xAA, 0x5C, 0x15, 0x1B, 0x21, 0xF1, 0x7E, 0x29}};
inline constexpr IID IID_IFileProperties = {
    0xF7CE56E5, 0xC14B, 0x4214, {0x9D, 0x27, 0x77, 0xD7, 0x2D, 0x91, 0xCB, 0x09}};

// Class identifiers: the factory's keys and the first 16 bytes of every serialised record.
inline constexpr CLSID CLSID_TreeItem = {
    0x899BACF2, 0x46A5, 0x4908, {0x93, 0xB2, 0x53, 0xCC, 0x23, 0x10, 0x3A, 0x1F}};
inline constexpr CLSID CLSID_Tresorix = {
    0x7851C25D, 0x553F, 0x4667, {0xB5, 0xB9, 0xA7, 0x1D, 0xDC, 0xCB, 0x3C, 0xC5}};
inline constexpr CLSID CLSID_Folder = {
    0x3ED9A260, 0xE9C9, 0x482E, {0xA5, 0xFD, 0xDF, 0x35, 0xDB, 0xB9, 0xAF, 0x29}};
inline constexpr CLSID CLSID_RootFolder = {
    0xE29193D0, 0x9DF0, 0x4C3D, {0xBA, 0x07, 0xC5, 0xD9, 0x6B, 0xAF, 0x44, 0x3A}};
inline constexpr CLSID CLSID_DeletedFolder = {
    0x7F6B5F27, 0x4D84, 0x4A8E, {0x88, 0x42, 0x18, 0xAE, 0x8C, 0x8F, 0x4B, 0x66}};
inline constexpr CLSID CLSID_PasswordItem = {
    0x38135C08, 0x41D1, 0x4687, {0x83, 0xD7, 0x39, 0x27, 0x46, 0xB5, 0x30, 0xBB}};
inline constexpr CLSID CLSID_CreditCardItem = {
    0x9F1BD1BF, 0x89B9, 0x4A6E, {0x82, 0x7E, 0x06, 0x22, 0x04, 0xE0, 0x25, 0x05}};
inline constexpr CLSID CLSID_Note = {
    0x5170767A, 0x5954, 0x4F52, {0x80, 0x0E, 0x30, 0xB1, 0xE9, 0x31, 0x9D, 0x9E}};
inline constexpr CLSID CLSID_UrlItem = {
    0x898E5BF4, 0x7F80, 0x4D04, {0x8E, 0x0A, 0x4A, 0x3F, 0x12, 0xAC, 0xA7, 0xF9}};
inline constexpr CLSID CLSID_FileItem = {
    0xB6C643E6, 0xE0B5, 0x4D75, {0x90, 0xD1, 0x08, 0xEA, 0xAE, 0x30, 0x1C, 0x98}};

// The fixed nodes of every data file.
inline constexpr int kRootFolderId = 1;
inline constexpr int kDeletedFolderId = 2;

class IUnknown {
public:
    static constexpr const IID& kIid = IID_IUnknown;

    virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

class ITreeItem;
class ITreeIterator;

// The open data file: its connection, the credentials of the login and the record cache.
class ITresorix : public IUnknown {
public:
    static constexpr const IID& kIid = IID_ITresorix;

    virtual std::string GetFileName() = 0;
    virtual bool Open(const std::string& path) = 0;
    virtual bool Close() = 0;
    virtual void SetUserName(const std::string& name) = 0;
    // The record key text, never the password itself.
    virtual void SetPassword(const std::string& keyText) = 0;
    virtual std::string GetPassword() = 0;
    virtual std::string GetUserName() = 0;
    virtual int Reserved(int a, int b) = 0;
    // The connection; no reference is added and the object keeps it.
    virtual CKivDatabase* GetDatabase() = 0;
    // Closes, then uses db without owning it.
    virtual void AttachDatabase(CKivDatabase* db) = 0;
    virtual void SetAuthorised(bool authorised) = 0;
    virtual bool IsAuthorised() = 0;
    virtual TComPtr<IUnknown> FindCachedItem(int id) = 0;
    virtual void CacheItem(int id, IUnknown* item) = 0;
    virtual void ClearCache() = 0;
    virtual void RemoveCachedItem(int id) = 0;
    virtual void StampFileTime() = 0;

protected:
    ~ITresorix() = default;
};

// A node of the folder tree: only its identifier; every question goes to the database.
class ITreeItem : public IUnknown {
public:
    static constexpr const IID& kIid = IID_ITreeItem;

    enum ITERATOR_KIND { kParent = 1, kChildren = 2, kSiblings = 3 };

    virtual int GetID() = 0;
    virtual void SetID(int id) = 0;
    virtual int GetParentID() = 0;
    virtual void AddChild(ITreeItem* node) = 0;
    virtual void InsertChild(ITreeItem* node) = 0;
    virtual void Delete() = 0;
    virtual bool HasChildren() = 0;
    virtual bool IsExpanded() = 0;
    virtual void SetExpanded(bool expanded) = 0;
    virtual bool Insert() = 0;
    virtual TComPtr<ITreeIterator> GetIterator(int kind) = 0;
    virtual TComPtr<IUnknown> GetData() = 0;
    // False when the record could not be stored; its cached object is then dropped.
    virtual bool SetData(IUnknown* record) = 0;

protected:
    ~ITreeItem() = default;
};

class ITreeIterator : public IUnknown {
public:
    static constexpr const IID& kIid = IID_ITreeIterator;

    virtual TComPtr<ITreeItem> First() = 0;
    virtual TComPtr<ITreeItem> Next() = 0;
    virtual bool IsDone() = 0;

protected:
    ~ITreeIterator() = default;
};

// What every record has.
class ICommonProperties : public IUnknown {
public:
    static constexpr const IID& kIid = IID_ICommonProperties;

    virtual const std::string& GetName() = 0;
    virtual void SetName(const std::string& name) = 0;
    // For a note: the note's text.
    virtual const std::string& GetComments() = 0;
    virtual void SetComments(const std::string& comments) = 0;
    virtual std::string GetTypeName() = 0;
    virtual int GetImage() = 0;
    virtual int GetSelectedImage() = 0;
    virtual void SetImage(int image) = 0;
    virtual void Reserved1() = 0;
    virtual bool GetCreated(FILETIME64& time) = 0;
    virtual bool SetCreated(FILETIME64 time) = 0;
    virtual bool GetModified(FILETIME64& time) = 0;
    virtual bool SetModified(FILETIME64 time) = 0;
    // Appends (storing) or reads the record's serialised form; false after a stream error.
    virtual bool Serialize(CMemFile& stream, bool storing) = 0;
    virtual void GetClassID(CLSID& clsid) = 0;
    virtual void GetCustomFields(CKivCustomFields& fields) = 0;
    virtual void SetCustomFields(const CKivCustomFields& fields) = 0;
    // Called before the node is deleted, so the record can drop what it keeps elsewhere.
    virtual bool OnDelete(int id, ITresorix* tresorix) = 0;
    virtual bool CanMove() = 0;
    virtual bool CanDelete() = 0;
    virtual bool Reserved2() = 0;
    virtual bool IsFolder() = 0;

protected:
    ~ICommonProperties() = default;
};

class IPasswordProperties : public IUnknown {
public:
    static constexpr const IID& kIid = IID_IPasswordProperties;

    virtual const std::string& GetLogin() = 0;
    virtual void SetLogin(const std::string& text) = 0;
    virtual const std::string& GetPassword() = 0;
    virtual void SetPassword(const std::string& text) = 0;
    virtual const std::string& GetURL() = 0;
    virtual void SetURL(const std::string& text) = 0;
    virtual const std::string& GetEmail() = 0;
    virtual void SetEmail(const std::string& text) = 0;

protected:
    ~IPasswordProperties() = default;
};

class ICreditCardProperties : public IUnknown {
public:
    static constexpr const IID& kIid = IID_ICreditCardProperties;

    virtual const std::string& GetNameOnCard() = 0;
    virtual void SetNameOnCard(const std::string& text) = 0;
    virtual const std::string& GetNumber() = 0;
    virtual void SetNumber(const std::string& text) = 0;
    virtual const std::string& GetSecurityCode() = 0;
    virtual void SetSecurityCode(const std::string& text) = 0;
    virtual const std::string& GetPIN() = 0;
    virtual void SetPIN(const std::string& text) = 0;
    virtual const std::string& GetCardType() = 0;
    virtual void SetCardType(const std::string& text) = 0;
    // Month and year separated by a line feed.
    virtual const std::string& GetExpirationDate() = 0;
    virtual void SetExpirationDate(const std::string& text) = 0;
    virtual const std::string& GetBankInfo() = 0;
    virtual void SetBankInfo(const std::string& text) = 0;
    virtual const std::string& GetAddress1() = 0;
    virtual void SetAddress1(const std::string& text) = 0;
    virtual const std::string& GetAddress2() = 0;
    virtual void SetAddress2(const std::string& text) = 0;
    virtual const std::string& GetCity() = 0;
    virtual void SetCity(const std::string& text) = 0;
    virtual const std::string& GetState() = 0;
    virtual void SetState(const std::string& text) = 0;
    virtual const std::string& GetZip() = 0;
    virtual void SetZip(const std::string& text) = 0;
    virtual const std::string& GetCountry() = 0;
    virtual void SetCountry(const std::string& text) = 0;

protected:
    ~ICreditCardProperties() = default;
};

class IFileProperties : public IUnknown {
public:
    static constexpr const IID& kIid = IID_IFileProperties;

    virtual const std::string& GetFileName() = 0;
    virtual void SetFileName(const std::string& text) = 0;
    // With its dot, as the source path's extension.
    virtual const std::string& GetExtension() = 0;
    virtual void SetExtension(const std::string& text) = 0;
    virtual std::uint32_t GetNumberA() = 0;
    virtual void SetNumberA(std::uint32_t value) = 0;
    virtual std::uint32_t GetNumberB() = 0;
    virtual void SetNumberB(std::uint32_t value) = 0;
    virtual FILETIME64 GetTimeA() = 0;
    virtual void SetTimeA(FILETIME64 time) = 0;
    virtual FILETIME64 GetTimeB() = 0;
    virtual void SetTimeB(FILETIME64 time) = 0;
    // Replaces the stored bytes of node id by the file at path.
    virtual bool StoreFile(const std::string& path, int id, ITresorix* tresorix) = 0;
    // Writes the stored bytes of node id to path, creating or truncating it.
    virtual bool SaveFileTo(const std::string& path, int id, ITresorix* tresorix) = 0;

protected:
    ~IFileProperties() = default;
};
