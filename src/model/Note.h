#pragma once

#include "model/CommonItem.h"

// A plain-text note; its text is the Comments field.
class CNote : public CCommonItem {
public:
    static constexpr int kDefaultImage = 63;

    CNote() : CCommonItem(kDefaultImage) {}

    std::string GetTypeName() override { return "Note"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_Note; }
};
