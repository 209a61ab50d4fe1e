#pragma once

#include "model/Interfaces.h"

#include <string>
#include <utility>
#include <vector>

// What the creation wizard (or the export into a new data file) collected, and the operation
// that turns it into a data file. Only the record key text of the password is kept, never the
// password itself.
class CCreator {
public:
    CCreator() = default;
    virtual ~CCreator();
    // 1 when the data file was created and committed, 0 on failure (already reported).
    virtual int Create() = 0;

    CCreator(const CCreator&) = delete;
    CCreator& operator=(const CCreator&) = delete;

    void SetFileName(const std::string& path) { m_path = path; }
    void SetUserName(const std::string& userName) { m_userName = userName; }
    // The record key text: the MD5 digest text of the chosen password.
    void SetKey(const std::string& keyText);
    void SetHint(const std::string& hint) { m_hint = hint; }
    void SetCreateCategories(bool create) { m_createCategories = create; }
    // String-table ids of the chosen categories, in display order.
    void SetCategories(std::vector<unsigned> ids) { m_categories = std::move(ids); }

    const std::string& GetFileName() const { return m_path; }
    const std::string& GetUserName() const { return m_userName; }
    const std::string& GetKey() const { return m_key; }
    const std::string& GetHint() const { return m_hint; }
    bool GetCreateCategories() const { return m_createCategories; }
    const std::vector<unsigned>& GetCategories() const { return m_categories; }
    // Where an old file at the path was moved by the last Create(); empty when there was none.
    const std::string& GetBackupName() const { return m_backupName; }

protected:
    std::string m_path;
    std::string m_userName;
    std::string m_key;
    std::string m_hint;
    bool m_createCategories = false;
    std::vector<unsigned> m_categories;
    std::string m_backupName;
    // The data-file object the default folders are written through, while they are.
    TComPtr<ITresorix> m_tresorix;
};
