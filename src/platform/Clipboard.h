#pragma once

#include <string>
#include <vector>

// The system clipboard, as far as the program uses it: plain text in, plain text out, and
// emptying it so that copied passwords do not linger.
class IClipboard {
public:
    virtual ~IClipboard() = default;

    // Replaces the clipboard contents by text; false on failure.
    virtual bool SetText(const std::string& text) = 0;
    // Empties the clipboard; false when it could not be emptied.
    virtual bool Clear() = 0;
    // The clipboard's text; false when it holds none or cannot be read.
    virtual bool GetText(std::string& text) = 0;
};

// The clipboard every call of the process goes to; never null (an in-memory one until the
// program installs the system's).
IClipboard& Clipboard();
// Installs a clipboard (not owned); null restores the default. Returns the previous one.
IClipboard* SetClipboard(IClipboard* clipboard);

// Copies text to the clipboard; an empty text does nothing and reports success.
bool CopyTextToClipboard(const std::string& text);
// Empties the clipboard; the result says whether it was emptied.
bool ClearClipboard();
// The clipboard's text; false when there is none.
bool GetClipboardText(std::string& text);

// A clipboard in memory that records every call; for tests and headless use. Texts it
// drops are wiped, since they are often passwords.
class CMemoryClipboard : public IClipboard {
public:
    enum ACTION { kSet, kClear, kGet };

    ~CMemoryClipboard() override;

    bool SetText(const std::string& text) override;
    bool Clear() override;
    bool GetText(std::string& text) override;

    // The current contents; empty when the clipboard is empty.
    const std::string& Text() const { return m_text; }
    bool HasText() const { return m_hasText; }
    const std::vector<ACTION>& Calls() const { return m_calls; }
    // Makes every later call fail.
    void SetFails(bool fails) { m_fails = fails; }

private:
    void Wipe();

    std::string m_text;
    bool m_hasText = false;
    bool m_fails = false;
    std::vector<ACTION> m_calls;
};

// Installs a fresh in-memory clipboard for the lifetime of the object (tests).
class CScopedMemoryClipboard : public CMemoryClipboard {
public:
    CScopedMemoryClipboard() : m_previous(SetClipboard(this)) {}
    ~CScopedMemoryClipboard() override { SetClipboard(m_previous); }
    CScopedMemoryClipboard(const CScopedMemoryClipboard&) = delete;
    CScopedMemoryClipboard& operator=(const CScopedMemoryClipboard&) = delete;

private:
    IClipboard* m_previous;
};
