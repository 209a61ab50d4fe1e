#include "platform/StringTable.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

struct ENTRY {
    unsigned id;
    std::string_view text;
};

// One include per layer, so each keeps its own texts; the table is sorted once.
// clang-format off
ENTRY g_table[] = {
#include "strings/core.inc"
#include "strings/creation.inc"
#include "strings/tools.inc"
#include "strings/model.inc"
#include "strings/document.inc"
#include "strings/app.inc"
#include "strings/search.inc"
#include "strings/export.inc"
#include "strings/editors.inc"
#include "strings/progress.inc"
#include "strings/help.inc"
#include "strings/files.inc"
};
// clang-format on

const ENTRY* Find(unsigned id) {
    static const bool sorted = [] {
        std::sort(std::begin(g_table), std::end(g_table),
                  [](const ENTRY& a, const ENTRY& b) { return a.id < b.id; });
        return true;
    }();
    (void)sorted;
    auto it = std::lower_bound(std::begin(g_table), std::end(g_table), id,
                               [](const ENTRY& e, unsigned v) { return e.id < v; });
    return it != std::end(g_table) && it->id == id ? it : nullptr;
}

} // namespace

std::string LoadString(unsigned id) {
    const ENTRY* e = Find(id);
    return e ? std::string(e->text) : std::string();
}

std::string FormatString(const std::string& format, const std::string& arg1,
                         const std::string& arg2) {
    std::string out;
    out.reserve(format.size() + arg1.size() + arg2.size());
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == '1' || format[i + 1] == '2')) {
            out += format[i + 1] == '1' ? arg1 : arg2;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}
