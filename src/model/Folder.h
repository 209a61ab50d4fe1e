#pragma once

#include "model/CommonItem.h"

// A folder record; the root folder (node 1) and the recycle bin (node 2) are its kinds.
// Folders display fixed images whatever image they store.
class CFolder : public CCommonItem {
public:
    CFolder() : CCommonItem(kDefaultImage) {}

    static constexpr int kDefaultImage = 5;

    std::string GetTypeName() override { return "Folder"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_Folder; }
    int GetImage() override { return 1; }
    int GetSelectedImage() override { return 2; }
    bool IsFolder() override { return true; }

protected:
    // One word, written as 1 and ignored on reading.
    void SerializeClassPart(CRecordStream& stream, bool storing) override;
};

class CRootFolder : public CFolder {
public:
    void GetClassID(CLSID& clsid) override { clsid = CLSID_RootFolder; }
    int GetImage() override { return 0; }
    int GetSelectedImage() override { return 0; }
    bool CanMove() override { return false; }
    bool CanDelete() override { return false; }
};

class CDeletedFolder : public CFolder {
public:
    void GetClassID(CLSID& clsid) override { clsid = CLSID_DeletedFolder; }
    int GetImage() override { return 9; }
    int GetSelectedImage() override { return 9; }
    bool CanMove() override { return false; }
    bool CanDelete() override { return false; }
};
