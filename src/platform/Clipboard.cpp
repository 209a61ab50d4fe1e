#include "platform/Clipboard.h"

#include <atomic>

namespace {

std::atomic<IClipboard*> g_clipboard{nullptr};

IClipboard& DefaultClipboard() {
    static CMemoryClipboard clipboard;
    return clipboard;
}

void WipeString(std::string& text) {
    volatile char* bytes = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = 0;
    text.clear();
}

} // namespace

IClipboard& Clipboard() {
    IClipboard* clipboard = g_clipboard.load();
    return clipboard ? *clipboard : DefaultClipboard();
}

IClipboard* SetClipboard(IClipboard* clipboard) {
    return g_clipboard.exchange(clipboard);
}

bool CopyTextToClipboard(const std::string& text) {
    if (text.empty())
        return true;
    return Clipboard().SetText(text);
}

bool ClearClipboard() {
    return Clipboard().Clear();
}

bool GetClipboardText(std::string& text) {
    return Clipboard().GetText(text);
}

CMemoryClipboard::~CMemoryClipboard() {
    Wipe();
}

bool CMemoryClipboard::SetText(const std::string& text) {
    m_calls.push_back(kSet);
    if (m_fails)
        return false;
    Wipe();
    m_text = text;
    m_hasText = true;
    return true;
}

bool CMemoryClipboard::Clear() {
    m_calls.push_back(kClear);
    if (m_fails)
        return false;
    Wipe();
    return true;
}

bool CMemoryClipboard::GetText(std::string& text) {
    m_calls.push_back(kGet);
    if (m_fails || !m_hasText)
        return false;
    text = m_text;
    return true;
}

void CMemoryClipboard::Wipe() {
    WipeString(m_text);
    m_hasText = false;
}
