#pragma once

#include <string>
#include <vector>

class CMemFile;
class CRecordStream;

// A record's user-defined fields: named values, optionally masked on screen, in insertion
// order. Stored inside the record as one text of lines "%.4d\t%s\t%s\n" (mask, name, value),
// without escaping, so a name cannot hold a tab and a value cannot hold a line feed.
class CKivCustomFields {
public:
    struct CUSTOMFIELD {
        int id = 0; // key within the list, assigned by Add; not stored
        std::string name;
        std::string value;
        int masked = 0; // 1 hides the value on screen
    };

    CKivCustomFields() = default;
    virtual ~CKivCustomFields();
    CKivCustomFields(const CKivCustomFields& other) { Assign(other); }
    CKivCustomFields& operator=(const CKivCustomFields& other) {
        if (this != &other)
            Assign(other);
        return *this;
    }

    // Frees every entry; the identifier counter stays.
    void Clear();
    // Appends a copy of field under the next identifier and returns that identifier.
    int Add(const CUSTOMFIELD& field);
    int AddNew(const std::string& name, const std::string& value, int masked);
    // Copies other: its counter, then its entries in order under new identifiers.
    void Assign(const CKivCustomFields& other);

    // Writes or reads the list as one text; false only when the stream is damaged.
    bool Serialize(CMemFile& stream, bool storing);
    void Serialize(CRecordStream& stream, bool storing);

    // The stored text, and the entries it describes (appended to the list).
    std::string ToText() const;
    void AddFromText(const std::string& text);

    CUSTOMFIELD* Find(int id);
    const CUSTOMFIELD* Find(int id) const;
    // False when there is no such entry.
    bool Remove(int id);
    void MoveUp(int id);
    void MoveDown(int id);

    int GetCount() const { return static_cast<int>(m_fields.size()); }
    CUSTOMFIELD& GetAt(int index) { return m_fields.at(static_cast<std::size_t>(index)); }
    const CUSTOMFIELD& GetAt(int index) const {
        return m_fields.at(static_cast<std::size_t>(index));
    }
    int GetLastId() const { return m_lastId; }

private:
    int IndexOf(int id) const;
    static void Wipe(CUSTOMFIELD& field);

    std::vector<CUSTOMFIELD> m_fields;
    int m_lastId = 0;
};
