#pragma once

#include <string>

// A clipboard that can mark a copy as secret, so that clipboard managers neither show nor
// keep it (passwords, masked values).
class ISecretClipboard {
public:
    virtual ~ISecretClipboard() = default;

    virtual bool SetSecretText(const std::string& text) = 0;
};

// Copies a password or masked value: like CopyTextToClipboard (an empty text does nothing
// and reports success), marked secret where the installed clipboard supports that.
bool CopySecretTextToClipboard(const std::string& text);
