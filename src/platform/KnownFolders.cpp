#include "platform/KnownFolders.h"

#include <QStandardPaths>
#include <QString>

std::string DocumentsFolder() {
    std::string folder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string DefaultBackupFolder() {
    const std::string documents = DocumentsFolder();
    return documents.empty() ? std::string() : documents + "Tresorix Pro Backups/";
}
