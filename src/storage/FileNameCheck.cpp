#include "storage/FileNameCheck.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::size_t kMaxComponent = 255;
constexpr std::size_t kMaxPath = 260;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsForbidden(char c) {
    // A NUL could never reach the file system intact.
    return c == '\0' || std::strchr("\t\"*/:<>?\\|", c) != nullptr;
}

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Checks the components of text from start on; a trailing separator ends the path.
bool AreValidComponents(const std::string& text, std::size_t start) {
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        if (!IsValidFileNameComponent(text.substr(start, end - start)))
            return false;
        if (end == text.size())
            return true;
        start = end + 1; // past the separator; the end of the text may follow
    }
    return true;
}

bool IsValidFullPath(const std::string& text) {
    std::size_t start;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        if (text.size() > 2 && IsSeparator(text[2]))
            return false;
        start = 2;
    } else if (text.size() >= 2 && text[1] == ':' && (text.size() == 2 || IsSeparator(text[2]))) {
        start = 3;
    } else if (!text.empty() && text[0] == '/') {
        start = 1;
    } else {
        return false;
    }
    return text.size() <= kMaxPath && AreValidComponents(text, start);
}

} // namespace

bool IsReservedDeviceName(const std::string& component) {
    const std::string name = Lower(component);
    if (name == "aux" || name == "con" || name == "nul" || name == "prn" || name == "clock$")
        return true;
    return name.size() == 4 && (name.compare(0, 3, "com") == 0 || name.compare(0, 3, "lpt") == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

bool IsValidFileNameComponent(const std::string& component) {
    if (component.empty() || component.size() > kMaxComponent)
        return false;
    if (component.front() == ' ' || component.back() == ' ' || component.back() == '.')
        return false;
    for (char c : component) {
        if (IsForbidden(c))
            return false;
    }
    return !IsReservedDeviceName(component);
}

bool IsValidFileName(const std::string& text) {
    return IsValidFullPath(text) || IsValidFileNameComponent(text);
}
