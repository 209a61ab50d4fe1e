#pragma once

#include <string>
#include <vector>

// The search pattern: blank-separated alternatives, any one of which suffices. Within an
// alternative, "*" separates parts that must occur in that order and "?" stands for exactly
// one character; quoted phrases keep their blanks. Letter case is ignored and parts are found
// anywhere in the text. Matching is linear in the text for every part, whatever the pattern.
class CRegularExpression {
public:
    CRegularExpression() = default;
    explicit CRegularExpression(const std::string& pattern) { SetPattern(pattern); }

    // Keeps the pattern without surrounding white space and in upper case, and splits it.
    void SetPattern(const std::string& pattern);

    // An empty pattern matches every text, the empty one included.
    bool Match(const std::string& text) const;

    // The prepared pattern as UTF-8.
    std::string GetPattern() const;

private:
    enum class KIND { Word, Blank, Star, Question };

    struct TOKEN {
        KIND kind;
        std::u32string text;
        // Longest proper border of each prefix of text, for a search without backtracking.
        std::vector<std::size_t> border;
    };

    void AddToken(KIND kind, std::u32string text = {});
    bool MatchAlternative(const std::u32string& text, std::size_t first, std::size_t last) const;
    static std::size_t Find(const std::u32string& text, const TOKEN& token, std::size_t from);

    std::u32string m_pattern;
    std::vector<TOKEN> m_tokens;
};
