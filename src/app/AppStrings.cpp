#include "app/AppStrings.h"

#include "platform/StringTable.h"

QString Tr(unsigned id) {
    return QString::fromStdString(LoadString(id));
}

QString ShortText(unsigned id) {
    const QString text = Tr(id);
    const qsizetype lf = text.indexOf(u'\n');
    return lf < 0 ? text : text.mid(lf + 1);
}

QString LongText(unsigned id) {
    QString text = Tr(id);
    const qsizetype lf = text.indexOf(u'\n');
    if (lf >= 0)
        text.truncate(lf);
    text.replace(u'\t', u' ');
    return text;
}
