#include "app/EditorStrings.h"

#include "platform/StringTable.h"
#include "ui/TextBytes.h"

std::string EdString(unsigned id) {
    return LoadString(id);
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
