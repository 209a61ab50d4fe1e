#include "model/Interface.h"

HRESULT CInterface::ExternalQueryInterface(const IID& iid, void** out) {
    if (!out)
        return E_NOINTERFACE;
    *out = nullptr;
    HRESULT hr = InternalQueryInterface(iid, out);
    if (hr != S_OK || !*out) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ExternalAddRef();
    return S_OK;
}

ULONG CInterface::ExternalRelease() {
    std::int32_t count = --m_refCount;
    if (count != 0)
        return static_cast<ULONG>(count);
    FinalRelease();
    delete this;
    return 0;
}
