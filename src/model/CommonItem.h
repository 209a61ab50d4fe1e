#pragma once

#include "model/Interface.h"
#include "model/KivCustomFields.h"

#include <string>

class CRecordStream;

// What every record shares (name, comments, times, image, custom fields) and its part of the
// serialised form. A class adds its own fields through SerializeClassPart.
class CCommonItem : public CInterface, public ICommonProperties {
public:
    TX_FORWARD_IUNKNOWN()
    HRESULT InternalQueryInterface(const IID& iid, void** out) override;

    const std::string& GetName() override { return m_name; }
    void SetName(const std::string& name) override { m_name = name; }
    const std::string& GetComments() override { return m_comments; }
    void SetComments(const std::string& comments) override { m_comments = comments; }
    int GetImage() override { return m_image; }
    int GetSelectedImage() override { return m_image; }
    void SetImage(int image) override { m_image = image; }
    void Reserved1() override {}
    bool GetCreated(FILETIME64& time) override;
    bool SetCreated(FILETIME64 time) override;
    bool GetModified(FILETIME64& time) override;
    bool SetModified(FILETIME64 time) override;
    // Shows the stream's error message and returns false when the stream is damaged.
    bool Serialize(CMemFile& stream, bool storing) override;
    void GetCustomFields(CKivCustomFields& fields) override { fields.Assign(m_customFields); }
    void SetCustomFields(const CKivCustomFields& fields) override { m_customFields.Assign(fields); }
    bool OnDelete(int id, ITresorix* tresorix) override;
    bool CanMove() override { return true; }
    bool CanDelete() override { return true; }
    bool Reserved2() override { return false; }
    bool IsFolder() override { return false; }

    // The stored image index, also for classes that display a fixed one.
    int GetStoredImage() const { return m_image; }

protected:
    explicit CCommonItem(int defaultImage) : m_image(defaultImage) {}
    ~CCommonItem() override;

    // Writes or reads what the class appends after the common part.
    virtual void SerializeClassPart(CRecordStream& stream, bool storing);

private:
    void SerializeCommonPart(CRecordStream& stream, bool storing);

    std::string m_name;
    std::string m_comments;
    FILETIME64 m_created = 0;
    FILETIME64 m_modified = 0;
    int m_image;
    CKivCustomFields m_customFields;
};

// The message a damaged record stream is reported with (exclamation icon).
void ReportRecordStreamError();
