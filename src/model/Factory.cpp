#include "model/Factory.h"

#include "model/CreditCardItem.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/Note.h"
#include "model/PasswordItem.h"
#include "model/TreeItem.h"
#include "model/Tresorix.h"
#include "model/UrlItem.h"
#include "platform/MemFile.h"

#include <new>

namespace {

template <class C> IUnknown* MakeRecord() {
    C* record = new (std::nothrow) C();
    return record ? static_cast<ICommonProperties*>(record) : nullptr;
}

struct FACTORY_ENTRY {
    const CLSID* clsid;
    IUnknown* (*make)(ITresorix* tresorix);
};

const FACTORY_ENTRY kFactory[] = {
    {&CLSID_TreeItem,
     [](ITresorix* t) -> IUnknown* {
         CTreeItem* node = new (std::nothrow) CTreeItem(t);
         return node ? static_cast<ITreeItem*>(node) : nullptr;
     }},
    {&CLSID_Tresorix,
     [](ITresorix*) -> IUnknown* {
         CTresorix* tresorix = new (std::nothrow) CTresorix();
         return tresorix ? static_cast<ITresorix*>(tresorix) : nullptr;
     }},
    {&CLSID_Folder, [](ITresorix*) { return MakeRecord<CFolder>(); }},
    {&CLSID_RootFolder, [](ITresorix*) { return MakeRecord<CRootFolder>(); }},
    {&CLSID_DeletedFolder, [](ITresorix*) { return MakeRecord<CDeletedFolder>(); }},
    {&CLSID_PasswordItem, [](ITresorix*) { return MakeRecord<CPasswordItem>(); }},
    {&CLSID_CreditCardItem, [](ITresorix*) { return MakeRecord<CCreditCardItem>(); }},
    {&CLSID_Note, [](ITresorix*) { return MakeRecord<CNote>(); }},
    {&CLSID_UrlItem, [](ITresorix*) { return MakeRecord<CUrlItem>(); }},
    {&CLSID_FileItem, [](ITresorix*) { return MakeRecord<CFileItem>(); }},
};

template <class I> TComPtr<I> LookUp(TComPtr<IUnknown> item) {
    return item ? item.template As<I>() : TComPtr<I>();
}

} // namespace

HRESULT CreateObject(const CLSID& clsid, IUnknown** out, ITresorix* tresorix) {
    if (!out)
        return E_FAIL;
    *out = nullptr;
    for (const FACTORY_ENTRY& entry : kFactory) {
        if (*entry.clsid != clsid)
            continue;
        IUnknown* object = entry.make(tresorix);
        if (!object)
            return E_OUTOFMEMORY;
        object->AddRef();
        *out = object;
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT LoadItem(CMemFile& stream, TComPtr<ICommonProperties>& out) {
    out = nullptr;
    std::uint64_t position = stream.GetPosition();
    std::uint8_t bytes[kGuidBytes] = {};
    stream.Read(bytes, sizeof bytes);
    stream.Seek(static_cast<std::int64_t>(position), CMemFile::begin);

    TComPtr<IUnknown> object;
    HRESULT hr = CreateObject(GuidFromBytes(bytes), object.Out(), nullptr);
    if (hr != S_OK)
        return hr;
    TComPtr<ICommonProperties> record = object.As<ICommonProperties>();
    object = nullptr;
    if (!record || !record->Serialize(stream, false))
        return E_FAIL;
    out = std::move(record);
    return S_OK;
}

TComPtr<ICommonProperties> GetCommonProperties(TComPtr<IUnknown> item) {
    return LookUp<ICommonProperties>(std::move(item));
}

TComPtr<IPasswordProperties> GetPasswordProperties(TComPtr<IUnknown> item) {
    return LookUp<IPasswordProperties>(std::move(item));
}

TComPtr<ICreditCardProperties> GetCreditCardProperties(TComPtr<IUnknown> item) {
    return LookUp<ICreditCardProperties>(std::move(item));
}

TComPtr<IFileProperties> GetFileProperties(TComPtr<IUnknown> item) {
    return LookUp<IFileProperties>(std::move(item));
}

TComPtr<ITreeItem> MakeTreeItem(ITresorix* tresorix, int id) {
    TComPtr<ITreeItem> node = CreateObjectAs<ITreeItem>(CLSID_TreeItem, tresorix);
    if (node)
        node->SetID(id);
    return node;
}

TComPtr<ICommonProperties> GetItemProperties(ITresorix* tresorix, int id) {
    TComPtr<ITreeItem> node = MakeTreeItem(tresorix, id);
    return node ? GetCommonProperties(node->GetData()) : TComPtr<ICommonProperties>();
}
