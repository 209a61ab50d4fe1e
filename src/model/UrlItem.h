#pragma once

#include "model/PasswordItem.h"

// An Internet address: a password record under its own class identifier and type name.
class CUrlItem : public CPasswordItem {
public:
    std::string GetTypeName() override { return "URL"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_UrlItem; }
};
