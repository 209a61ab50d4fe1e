#pragma once

#include "platform/Clipboard.h"
#include "platform/SecretClipboard.h"

#include <QByteArray>

// The desktop's clipboard, guarded: secret copies carry the hint that tells clipboard
// managers to leave them alone, and clearing empties the clipboard only while it still holds
// the program's last copy, so that something the user copied since (here or elsewhere)
// survives.
class CQtSecretClipboard : public IClipboard, public ISecretClipboard {
public:
    static constexpr const char* kHintFormat = "x-kde-passwordManagerHint";
    static constexpr const char* kHintSecret = "secret";

    bool SetText(const std::string& text) override;
    bool SetSecretText(const std::string& text) override;
    // True when none of the program's copies is left: emptied now, or replaced meanwhile.
    bool Clear() override;
    bool GetText(std::string& text) override;

    // Whether the clipboard still holds the program's last copy.
    bool HoldsOurCopy() const;

private:
    bool Set(const std::string& text, bool secret);

    QByteArray m_stamp;
    quint64 m_serial = 0;
};
