#include "app/EditorStrings.h"

#include "platform/StringTable.h"
#include "ui/TextBytes.h"

#include <string_view>

namespace {

struct ENTRY {
    unsigned id;
    std::string_view text;
};

constexpr ENTRY kTable[] = {
#include "strings/editors.inc"
};

} // namespace

std::string EdString(unsigned id) {
    std::string text = LoadString(id);
    if (!text.empty())
        return text;
    for (const ENTRY& e : kTable)
        if (e.id == id)
            return std::string(e.text);
    return {};
}

QString EdText(unsigned id) {
    return FromBytes(EdString(id));
}

QString EdShortText(unsigned id) {
    const QString text = EdText(id);
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    return lf < 0 ? text : text.mid(lf + 1);
}

QString EdLongText(unsigned id) {
    const QString text = EdText(id);
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    return lf < 0 ? text : text.left(lf);
}
