#include "ui/FileDialogFilters.h"

#include "ui/TextBytes.h"

QStringList FileDialogFilters(const QString& list) {
    const QStringList parts = list.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        if (label.isEmpty())
            break;
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
        // The dialog matches the last parenthesised group and, told to hide details, shows
        // only what comes before it: the label as written.
        filters << label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

QStringList FileDialogFilters(const std::string& list) {
    return FileDialogFilters(FromBytes(list));
}
