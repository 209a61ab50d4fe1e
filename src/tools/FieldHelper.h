#pragma once

#include "model/Interfaces.h"

#include <string>
#include <unordered_map>

// The column values of one record of the data file, as the export writes them. A record
// without the interface a column needs gives an empty value.
class CFieldHelper {
public:
    CFieldHelper() = default;
    CFieldHelper(const CFieldHelper&) = delete;
    CFieldHelper& operator=(const CFieldHelper&) = delete;

    void SetTresorix(ITresorix* tresorix);
    ITresorix* GetTresorix() const { return m_tresorix.Get(); }

    // Loads the record of node id through a tree node; false (and every value empty) when the
    // node has no readable record.
    bool SetItem(int id);
    int GetID() const { return m_id; }
    ICommonProperties* GetItem() const { return m_item.Get(); }

    // The value of the column whose title has that string id; empty for an unknown title.
    std::string GetColumnValue(unsigned titleId);
    // The value of column index of the column table.
    std::string GetValue(int index);

    // Backslash, then each node's name from the root down to the record, each after a
    // backslash: "\\My Passwords\Folder\Record".
    std::string GetLocation();

private:
    struct NODEINFO {
        int parent = 0;
        std::string name;
    };

    // Parent and name of an ancestor, read once per helper: many records share them.
    const NODEINFO& Node(int id);

    TComPtr<ITresorix> m_tresorix;
    int m_id = 0;
    TComPtr<ICommonProperties> m_item;
    TComPtr<IPasswordProperties> m_password;
    TComPtr<ICreditCardProperties> m_card;
    TComPtr<IFileProperties> m_file;
    std::unordered_map<int, NODEINFO> m_nodes;
};
