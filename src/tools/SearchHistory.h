#pragma once

#include <string>
#include <vector>

class IProfileStore;

// The recent texts of the "Search for:" box, kept in alphabetical order (ignoring case), each
// with its age: the number of texts added since. A text is forgotten once ten newer ones have
// been added. Stored in the profile section "SearchLookIn".
class CSearchHistory {
public:
    struct ENTRY {
        std::string text;
        int age = 0;
    };

    static constexpr const char* kSection = "SearchLookIn";
    static constexpr int kMaxAge = 10;

    // Reads the section; entries beyond what is readable are dropped.
    void Load(IProfileStore& store);
    // Writes the count, the texts, their ages and the last text; false when a write failed.
    bool Save(IProfileStore& store) const;

    // Adds a text entered by the user: nothing for an empty text or one already listed
    // (ignoring case). Otherwise every entry ages by one, those reaching kMaxAge go, and the
    // text joins with age 0 and becomes the last text. True when the list changed.
    bool Add(const std::string& text);

    // The first entry that begins with prefix, ignoring case; empty when none does or the
    // prefix is empty. The completion offered while the user types.
    std::string Complete(const std::string& prefix) const;

    const std::vector<ENTRY>& GetEntries() const { return m_entries; }
    // The text last entered (the section's default value).
    const std::string& GetLastText() const { return m_lastText; }

private:
    void Sort();

    std::vector<ENTRY> m_entries;
    std::string m_lastText;
};
