#include "model/KivCustomFields.h"

#include "model/RecordStream.h"
#include "platform/MemFile.h"
#include "security/SecureZero.h"

#include <cstdio>
#include <new>
#include <utility>

CKivCustomFields::~CKivCustomFields() {
    Clear();
}

void CKivCustomFields::Wipe(CUSTOMFIELD& field) {
    SecureZero(field.name);
    SecureZero(field.value);
}

void CKivCustomFields::Clear() {
    for (auto& field : m_fields)
        Wipe(field);
    m_fields.clear();
}

int CKivCustomFields::Add(const CUSTOMFIELD& field) {
    CUSTOMFIELD copy = field;
    copy.id = ++m_lastId;
    m_fields.push_back(std::move(copy));
    return m_lastId;
}

int CKivCustomFields::AddNew(const std::string& name, const std::string& value, int masked) {
    CUSTOMFIELD field;
    field.name = name;
    field.value = value;
    field.masked = masked;
    return Add(field);
}

void CKivCustomFields::Assign(const CKivCustomFields& other) {
    if (this == &other)
        return;
    Clear();
    m_lastId = other.m_lastId;
    m_fields.reserve(other.m_fields.size());
    for (const auto& field : other.m_fields)
        Add(field);
}

std::string CKivCustomFields::ToText() const {
    std::string text;
    for (const auto& field : m_fields) {
        char mask[16];
        std::snprintf(mask, sizeof mask, "%.4d", field.masked);
        text += mask;
        text += '\t';
        text += field.name;
        text += '\t';
        text += field.value;
        text += '\n';
    }
    return text;
}

namespace {

// The leading decimal number of a line, as the C library's conversion reads it; saturates
// instead of overflowing.
int LeadingInteger(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > 0x7FFFFFFFLL)
            value = 0x80000000LL;
    }
    value = negative ? -value : value;
    if (value > 0x7FFFFFFFLL)
        value = 0x7FFFFFFFLL;
    return static_cast<int>(value);
}

} // namespace

void CKivCustomFields::AddFromText(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end == start)
            break; // the first empty line ends the list
        std::string line = text.substr(start, end - start);
        CUSTOMFIELD field;
        field.masked = LeadingInteger(line);
        if (line.size() >= 6) {
            std::size_t tab = line.find('\t', 5);
            if (tab == std::string::npos) {
                field.name = line.substr(5);
            } else {
                field.name = line.substr(5, tab - 5);
                field.value = line.substr(tab + 1);
            }
        }
        SecureZero(line);
        Add(field);
        Wipe(field);
        start = end + 1;
    }
}

void CKivCustomFields::Serialize(CRecordStream& stream, bool storing) {
    if (storing) {
        std::string text = ToText();
        stream.WriteText(text);
        SecureZero(text);
        return;
    }
    std::string text;
    stream.ReadText(text);
    if (stream.Failed())
        return;
    Clear();
    AddFromText(text);
    SecureZero(text);
}

bool CKivCustomFields::Serialize(CMemFile& file, bool storing) {
    CRecordStream stream(file);
    try {
        Serialize(stream, storing);
    } catch (const CMemFileException&) {
        stream.SetFailed();
    } catch (const std::bad_alloc&) {
        stream.SetFailed();
    }
    return !stream.Failed();
}

int CKivCustomFields::IndexOf(int id) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].id == id)
            return static_cast<int>(i);
    return -1;
}

CKivCustomFields::CUSTOMFIELD* CKivCustomFields::Find(int id) {
    int i = IndexOf(id);
    return i < 0 ? nullptr : &m_fields[static_cast<std::size_t>(i)];
}

const CKivCustomFields::CUSTOMFIELD* CKivCustomFields::Find(int id) const {
    int i = IndexOf(id);
    return i < 0 ? nullptr : &m_fields[static_cast<std::size_t>(i)];
}

bool CKivCustomFields::Remove(int id) {
    int i = IndexOf(id);
    if (i < 0)
        return false;
    Wipe(m_fields[static_cast<std::size_t>(i)]);
    m_fields.erase(m_fields.begin() + i);
    return true;
}

void CKivCustomFields::MoveUp(int id) {
    int i = IndexOf(id);
    if (i > 0)
        std::swap(m_fields[static_cast<std::size_t>(i)], m_fields[static_cast<std::size_t>(i - 1)]);
}

void CKivCustomFields::MoveDown(int id) {
    int i = IndexOf(id);
    if (i >= 0 && i + 1 < GetCount())
        std::swap(m_fields[static_cast<std::size_t>(i)], m_fields[static_cast<std::size_t>(i + 1)]);
}
