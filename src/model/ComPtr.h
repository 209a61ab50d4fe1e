#pragma once

#include <cstddef>
#include <utility>

// A counted reference to a COM-style interface: AddRef on copy, Release on destruction.
// Construction from a raw pointer adds a reference; Attach takes over one the caller owns.
template <class T> class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    explicit TComPtr(T* p) : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    TComPtr(const TComPtr& other) : TComPtr(other.m_p) {}
    TComPtr(TComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~TComPtr() { Reset(); }

    TComPtr& operator=(const TComPtr& other) {
        TComPtr(other).Swap(*this);
        return *this;
    }
    TComPtr& operator=(TComPtr&& other) noexcept {
        TComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    TComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    // Takes over a reference the caller already holds.
    static TComPtr Adopt(T* p) {
        TComPtr result;
        result.m_p = p;
        return result;
    }
    void Attach(T* p) {
        Reset();
        m_p = p;
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* Detach() { return std::exchange(m_p, nullptr); }

    void Reset() {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Releases the current reference and returns the slot for an out-parameter.
    T** Out() {
        Reset();
        return &m_p;
    }
    void Swap(TComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    friend bool operator==(const TComPtr& a, std::nullptr_t) { return a.m_p == nullptr; }

    // Asks for interface I (through I::kIid); none when unsupported.
    template <class I> TComPtr<I> As() const {
        void* raw = nullptr;
        if (m_p)
            m_p->QueryInterface(I::kIid, &raw);
        return TComPtr<I>::Adopt(static_cast<I*>(raw));
    }

private:
    T* m_p = nullptr;
};
