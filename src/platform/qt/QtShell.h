#pragma once

#include "platform/Shell.h"

// Opens documents, folders and addresses through the desktop's URL handlers; copies files as
// the headless shell does.
class CQtShell : public CHeadlessShell {
public:
    bool OpenDocument(const std::string& pathOrUrl) override;
    bool ExploreFolder(const std::string& folder) override;
};

// Whether text names an address with a scheme ("https://...", "mailto:...") rather than a
// local path.
bool LooksLikeUrl(const std::string& text);
