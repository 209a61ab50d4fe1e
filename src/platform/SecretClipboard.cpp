#include "platform/SecretClipboard.h"

#include "platform/Clipboard.h"

bool CopySecretTextToClipboard(const std::string& text) {
    if (text.empty())
        return true;
    IClipboard& clipboard = Clipboard();
    if (auto* secret = dynamic_cast<ISecretClipboard*>(&clipboard))
        return secret->SetSecretText(text);
    return clipboard.SetText(text);
}
