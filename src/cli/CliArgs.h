#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One option a command accepts.
struct CLIOPTION {
    const char* name;      // long form, without the two dashes
    char shortName;        // 0 when there is none
    const char* valueName; // null for a flag, else shown in the help ("--folder FOLDER")
    const char* help;
};

// The words of one command line in GNU style: options (long "--name value", "--name=value",
// short "-u value", "-uvalue", flags bundled as "-Rh") anywhere among the positional words;
// "--" makes every following word positional, and so is a lone "-".
class CCliArgs {
public:
    // False with a reason in error for an unknown option, a missing value or a value given to
    // a flag.
    bool Parse(const std::vector<std::string>& words, const std::vector<CLIOPTION>& options,
               std::string& error);

    bool Has(std::string_view name) const;
    // The last value given for the option, or fallback.
    std::string Get(std::string_view name, const std::string& fallback = {}) const;
    // Every value given for the option, in order.
    std::vector<std::string> GetAll(std::string_view name) const;
    // Every option occurrence in command-line order (name, value; the value empty for flags).
    const std::vector<std::pair<std::string, std::string>>& Occurrences() const {
        return m_occurrences;
    }
    const std::vector<std::string>& Positionals() const { return m_positionals; }

private:
    std::vector<std::pair<std::string, std::string>> m_occurrences;
    std::vector<std::string> m_positionals;
};
