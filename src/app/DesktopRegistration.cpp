#include "app/DesktopRegistration.h"

#include "app/TrxImageList.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

bool WriteIfChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

// Arguments in Exec lines are quoted with double quotes, escaping ", `, $ and \.
QString QuoteExec(const QString& path) {
    QString quoted;
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

} // namespace

QString DesktopEntryText(const QString& programPath) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tresorix Pro\n"
                          "GenericName=Password Vault\n"
                          "Comment=Tresorix Pro Data File\n"
                          "Exec=%1 %f\n"
                          "Icon=tresorix\n"
                          "Terminal=false\n"
                          "Categories=Utility;Security;\n"
                          "MimeType=%2;\n")
        .arg(QuoteExec(programPath), QLatin1String(kMimeType));
}

QString MimeTypeText() {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>Tresorix Pro Data File</comment>\n"
               "    <icon name=\"tresorix\"/>\n"
               "    <glob pattern=\"*.tpx\"/>\n"
               "    <glob pattern=\"*.trx\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(QLatin1String(kMimeType));
}

bool RegisterDocumentTypes(const QString& programPath, const QString& dataHome) {
    QString home = dataHome;
    if (home.isEmpty())
        home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (home.isEmpty())
        return false;
    bool ok = WriteIfChanged(home + QStringLiteral("/applications/tresorix.desktop"),
                             DesktopEntryText(programPath).toUtf8());
    ok = WriteIfChanged(home + QStringLiteral("/mime/packages/tresorix.xml"),
                        MimeTypeText().toUtf8()) &&
         ok;
    const QIcon icon = CTrxImageList::ProgramIcon();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path =
            home + QStringLiteral("/icons/hicolor/%1x%1/apps/tresorix.png").arg(size);
        if (QFile::exists(path))
            continue;
        ok = QDir().mkpath(QFileInfo(path).absolutePath()) &&
             icon.pixmap(size, size).save(path, "PNG") && ok;
    }
    return ok;
}
