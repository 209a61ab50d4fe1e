#pragma once

#include "model/CommonItem.h"

// A file kept inside the data file. The record holds the name and extension; the bytes live in
// the file-part table under the node's identifier (CFileParts).
class CFileItem : public CCommonItem, public IFileProperties {
public:
    static constexpr int kDefaultImage = 11;

    CFileItem() : CCommonItem(kDefaultImage) {}

    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    std::string GetTypeName() override { return "File"; }
    void GetClassID(CLSID& clsid) override { clsid = CLSID_FileItem; }
    // Drops the stored parts of node id.
    bool OnDelete(int id, ITresorix* tresorix) override;

    const std::string& GetFileName() override { return m_fileName; }
    void SetFileName(const std::string& text) override { m_fileName = text; }
    const std::string& GetExtension() override { return m_extension; }
    void SetExtension(const std::string& text) override { m_extension = text; }
    std::uint32_t GetNumberA() override { return m_numberA; }
    void SetNumberA(std::uint32_t value) override { m_numberA = value; }
    std::uint32_t GetNumberB() override { return m_numberB; }
    void SetNumberB(std::uint32_t value) override { m_numberB = value; }
    FILETIME64 GetTimeA() override { return m_timeA; }
    void SetTimeA(FILETIME64 time) override { m_timeA = time; }
    FILETIME64 GetTimeB() override { return m_timeB; }
    void SetTimeB(FILETIME64 time) override { m_timeB = time; }
    bool StoreFile(const std::string& path, int id, ITresorix* tresorix) override;
    bool SaveFileTo(const std::string& path, int id, ITresorix* tresorix) override;

protected:
    ~CFileItem() override;
    void SerializeClassPart(CRecordStream& stream, bool storing) override;

private:
    std::string m_fileName;
    std::string m_extension;
    std::uint32_t m_numberA = 0;
    std::uint32_t m_numberB = 0;
    FILETIME64 m_timeA = 0;
    FILETIME64 m_timeB = 0;
};
