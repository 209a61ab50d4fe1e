#include "cli/CliArgs.h"

namespace {

const CLIOPTION* FindLong(const std::vector<CLIOPTION>& options, std::string_view name) {
    for (const CLIOPTION& option : options)
        if (name == option.name)
            return &option;
    return nullptr;
}

const CLIOPTION* FindShort(const std::vector<CLIOPTION>& options, char name) {
    for (const CLIOPTION& option : options)
        if (option.shortName != 0 && option.shortName == name)
            return &option;
    return nullptr;
}

} // namespace

bool CCliArgs::Parse(const std::vector<std::string>& words, const std::vector<CLIOPTION>& options,
                     std::string& error) {
    m_occurrences.clear();
    m_positionals.clear();
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (onlyPositionals || word.size() < 2 || word[0] != '-') {
            m_positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            onlyPositionals = true;
            continue;
        }
        if (word[1] == '-') {
            std::string name = word.substr(2);
            std::string value;
            const std::size_t equals = name.find('=');
            const bool inlineValue = equals != std::string::npos;
            if (inlineValue) {
                value = name.substr(equals + 1);
                name.resize(equals);
            }
            const CLIOPTION* option = FindLong(options, name);
            if (!option) {
                error = "unknown option --" + name;
                return false;
            }
            if (!option->valueName) {
                if (inlineValue) {
                    error = "option --" + name + " takes no value";
                    return false;
                }
            } else if (!inlineValue) {
                if (i + 1 >= words.size()) {
                    error = "option --" + name + " needs a value";
                    return false;
                }
                value = words[++i];
            }
            m_occurrences.emplace_back(option->name, std::move(value));
            continue;
        }
        for (std::size_t k = 1; k < word.size(); ++k) {
            const CLIOPTION* option = FindShort(options, word[k]);
            if (!option) {
                error = std::string("unknown option -") + word[k];
                return false;
            }
            if (!option->valueName) {
                m_occurrences.emplace_back(option->name, std::string());
                continue;
            }
            std::string value = word.substr(k + 1);
            if (value.empty()) {
                if (i + 1 >= words.size()) {
                    error = std::string("option -") + word[k] + " needs a value";
                    return false;
                }
                value = words[++i];
            }
            m_occurrences.emplace_back(option->name, std::move(value));
            break;
        }
    }
    return true;
}

bool CCliArgs::Has(std::string_view name) const {
    for (const auto& [key, value] : m_occurrences)
        if (key == name)
            return true;
    return false;
}

std::string CCliArgs::Get(std::string_view name, const std::string& fallback) const {
    for (auto it = m_occurrences.rbegin(); it != m_occurrences.rend(); ++it)
        if (it->first == name)
            return it->second;
    return fallback;
}

std::vector<std::string> CCliArgs::GetAll(std::string_view name) const {
    std::vector<std::string> values;
    for (const auto& [key, value] : m_occurrences)
        if (key == name)
            values.push_back(value);
    return values;
}
