#include "tools/SearchHistory.h"

#include "platform/ProfileStore.h"
#include "tools/Utf8Text.h"

#include <QChar>

#include <algorithm>

namespace {

constexpr const char* kCountEntry = "Count";
constexpr const char* kAgeSuffix = ".DATA";
// The section's unnamed value.
constexpr const char* kLastTextEntry = "";
// More entries than any count this program writes; a damaged count is not followed further.
constexpr int kMaxEntries = 1000;

std::u32string Folded(const std::string& text) {
    std::u32string out = DecodeText(text);
    for (char32_t& c : out)
        c = QChar::toCaseFolded(c);
    return out;
}

} // namespace

void CSearchHistory::Load(IProfileStore& store) {
    m_entries.clear();
    const int count = std::clamp(store.GetProfileInt(kSection, kCountEntry, 0), 0, kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(i);
        ENTRY entry;
        entry.text = store.GetProfileString(kSection, number, {});
        entry.age = store.GetProfileInt(kSection, number + kAgeSuffix, 0);
        if (entry.text.empty() || entry.age < 0 || entry.age >= kMaxAge)
            continue;
        const std::u32string folded = Folded(entry.text);
        const bool duplicate = std::any_of(m_entries.begin(), m_entries.end(), [&](const ENTRY& e) {
            return Folded(e.text) == folded;
        });
        if (!duplicate)
            m_entries.push_back(std::move(entry));
    }
    m_lastText = store.GetProfileString(kSection, kLastTextEntry, {});
    Sort();
}

bool CSearchHistory::Save(IProfileStore& store) const {
    bool ok = store.WriteProfileInt(kSection, kCountEntry, static_cast<int>(m_entries.size()));
    for (std::size_t i = 0; ok && i < m_entries.size(); ++i) {
        const std::string number = std::to_string(i);
        ok = store.WriteProfileString(kSection, number, m_entries[i].text) &&
             store.WriteProfileInt(kSection, number + kAgeSuffix, m_entries[i].age);
    }
    return ok && store.WriteProfileString(kSection, kLastTextEntry, m_lastText);
}

bool CSearchHistory::Add(const std::string& text) {
    if (text.empty())
        return false;
    const std::u32string folded = Folded(text);
    for (const ENTRY& e : m_entries)
        if (Folded(e.text) == folded)
            return false;
    for (ENTRY& e : m_entries)
        ++e.age;
    std::erase_if(m_entries, [](const ENTRY& e) { return e.age >= kMaxAge; });
    m_entries.push_back({text, 0});
    m_lastText = text;
    Sort();
    return true;
}

std::string CSearchHistory::Complete(const std::string& prefix) const {
    if (prefix.empty())
        return {};
    const std::u32string wanted = Folded(prefix);
    for (const ENTRY& e : m_entries) {
        const std::u32string folded = Folded(e.text);
        if (folded.compare(0, wanted.size(), wanted) == 0)
            return e.text;
    }
    return {};
}

void CSearchHistory::Sort() {
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const ENTRY& a, const ENTRY& b) {
        const std::u32string fa = Folded(a.text);
        const std::u32string fb = Folded(b.text);
        return fa != fb ? fa < fb : a.text < b.text;
    });
}
