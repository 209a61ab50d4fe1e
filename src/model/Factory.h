#pragma once

#include "model/Interfaces.h"

class CMemFile;

// Makes a new object of the class clsid names, with one reference, and stores its primary
// interface in *out. tresorix is the data file a CTreeItem belongs to (others ignore it).
// S_OK, E_NOINTERFACE for an unknown class, E_OUTOFMEMORY when it cannot be allocated.
HRESULT CreateObject(const CLSID& clsid, IUnknown** out, ITresorix* tresorix = nullptr);

// CreateObject, then the interface I of the new object; none on any failure.
template <class I> TComPtr<I> CreateObjectAs(const CLSID& clsid, ITresorix* tresorix = nullptr) {
    TComPtr<IUnknown> object;
    if (CreateObject(clsid, object.Out(), tresorix) != S_OK)
        return {};
    return object.template As<I>();
}

// Makes a record from its serialised form at the stream's position: the class from the first
// 16 bytes, then Serialize. S_OK with the record in out; the factory's code for an unknown
// class; E_FAIL when the record cannot be read (nothing is handed out then).
HRESULT LoadItem(CMemFile& stream, TComPtr<ICommonProperties>& out);

// The typed look-ups: each takes over the caller's reference to item and returns the
// interface asked for, or none.
TComPtr<ICommonProperties> GetCommonProperties(TComPtr<IUnknown> item);
TComPtr<IPasswordProperties> GetPasswordProperties(TComPtr<IUnknown> item);
TComPtr<ICreditCardProperties> GetCreditCardProperties(TComPtr<IUnknown> item);
TComPtr<IFileProperties> GetFileProperties(TComPtr<IUnknown> item);

// The record of node id of the data file, or none.
TComPtr<ICommonProperties> GetItemProperties(ITresorix* tresorix, int id);
// A tree node handle for id in the data file.
TComPtr<ITreeItem> MakeTreeItem(ITresorix* tresorix, int id);
