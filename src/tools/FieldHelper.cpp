#include "tools/FieldHelper.h"

#include "model/Factory.h"
#include "tools/ExportColumns.h"

#include <algorithm>
#include <unordered_set>

namespace {

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

} // namespace

void CFieldHelper::SetTresorix(ITresorix* tresorix) {
    m_tresorix = TComPtr<ITresorix>(tresorix);
    m_nodes.clear();
    m_id = 0;
    m_item = nullptr;
    m_password = nullptr;
    m_card = nullptr;
    m_file = nullptr;
}

bool CFieldHelper::SetItem(int id) {
    m_id = id;
    m_item = m_tresorix ? GetItemProperties(m_tresorix.Get(), id) : nullptr;
    m_password = m_item.As<IPasswordProperties>();
    m_card = m_item.As<ICreditCardProperties>();
    m_file = m_item.As<IFileProperties>();
    return static_cast<bool>(m_item);
}

std::string CFieldHelper::GetColumnValue(unsigned titleId) {
    return GetValue(CExportColumns::IndexOfTitle(titleId));
}

std::string CFieldHelper::GetValue(int index) {
    if (!m_item)
        return {};
    ICreditCardProperties* card = m_card.Get();
    IPasswordProperties* password = m_password.Get();
    switch (index) {
    case kColumnName:
        return m_item->GetName();
    case kColumnLogin:
        return password ? password->GetLogin() : Empty();
    case kColumnPassword:
        return password ? password->GetPassword() : Empty();
    case kColumnEmail:
        return password ? password->GetEmail() : Empty();
    case kColumnUrl:
        return password ? password->GetURL() : Empty();
    case kColumnComments:
        return m_item->GetComments();
    case kColumnNameOnCard:
        return card ? card->GetNameOnCard() : Empty();
    case kColumnCardNumber:
        return card ? card->GetNumber() : Empty();
    case kColumnExpirationDate: {
        std::string date = card ? card->GetExpirationDate() : Empty();
        std::replace(date.begin(), date.end(), '\n', '/');
        return date;
    }
    case kColumnCardType:
        return card ? card->GetCardType() : Empty();
    case kColumnPin:
        return card ? card->GetPIN() : Empty();
    case kColumnSecurityCode:
        return card ? card->GetSecurityCode() : Empty();
    case kColumnAddress1:
        return card ? card->GetAddress1() : Empty();
    case kColumnAddress2:
        return card ? card->GetAddress2() : Empty();
    case kColumnCity:
        return card ? card->GetCity() : Empty();
    case kColumnState:
        return card ? card->GetState() : Empty();
    case kColumnZip:
        return card ? card->GetZip() : Empty();
    case kColumnCountry:
        return card ? card->GetCountry() : Empty();
    case kColumnBankInfo:
        return card ? card->GetBankInfo() : Empty();
    case kColumnFileName:
        return m_file ? m_file->GetFileName() : Empty();
    case kColumnLocation:
        return GetLocation();
    case kColumnType:
        return m_item->GetTypeName();
    default:
        return {};
    }
}

const CFieldHelper::NODEINFO& CFieldHelper::Node(int id) {
    auto found = m_nodes.find(id);
    if (found != m_nodes.end())
        return found->second;
    NODEINFO info;
    if (TComPtr<ITreeItem> node = MakeTreeItem(m_tresorix.Get(), id))
        info.parent = node->GetParentID();
    if (TComPtr<ICommonProperties> record = GetItemProperties(m_tresorix.Get(), id))
        info.name = record->GetName();
    return m_nodes.emplace(id, std::move(info)).first->second;
}

std::string CFieldHelper::GetLocation() {
    if (!m_item || !m_tresorix)
        return {};
    std::string location = "\\" + m_item->GetName();
    TComPtr<ITreeItem> self = MakeTreeItem(m_tresorix.Get(), m_id);
    int parent = self ? self->GetParentID() : 0;
    // A damaged tree whose parents form a cycle must still end.
    std::unordered_set<int> visited{m_id};
    while (parent != 0 && visited.insert(parent).second) {
        const NODEINFO& node = Node(parent);
        location = "\\" + node.name + location;
        parent = node.parent;
    }
    return "\\" + location;
}
