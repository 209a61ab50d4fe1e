#pragma once

#include "model/Interfaces.h"

#include <atomic>

// The common base of every implementation class: the class's own answer to QueryInterface and
// the reference count shared by all its interface parts. An object starts at count 0; the
// factory adds the first reference.
class CInterface {
public:
    CInterface() = default;
    virtual ~CInterface() = default;
    CInterface(const CInterface&) = delete;
    CInterface& operator=(const CInterface&) = delete;

    // Stores the interface part for iid in *out (without adding a reference) and returns
    // S_OK, or sets *out to none and returns E_NOINTERFACE.
    virtual HRESULT InternalQueryInterface(const IID& iid, void** out) = 0;
    // Runs when the count reaches zero, before destruction.
    virtual void FinalRelease() {}

    HRESULT ExternalQueryInterface(const IID& iid, void** out);
    ULONG ExternalAddRef() { return static_cast<ULONG>(++m_refCount); }
    ULONG ExternalRelease();

private:
    std::atomic<std::int32_t> m_refCount{0};
};

// Puts the three IUnknown operations of every interface part of a class onto CInterface.
#define TX_FORWARD_IUNKNOWN()                                                                      \
    HRESULT QueryInterface(const IID& iid, void** out) override {                                  \
        return CInterface::ExternalQueryInterface(iid, out);                                       \
    }                                                                                              \
    ULONG AddRef() override {                                                                      \
        return CInterface::ExternalAddRef();                                                       \
    }                                                                                              \
    ULONG Release() override {                                                                     \
        return CInterface::ExternalRelease();                                                      \
    }
