#include "platform/QSettingsProfileStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <climits>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Key(const std::string& section, const std::string& entry) {
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(entry);
}

} // namespace

CQSettingsProfileStore::CQSettingsProfileStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Kiv Software"),
                                             QStringLiteral("Tresorix Pro"))) {}

CQSettingsProfileStore::CQSettingsProfileStore(const std::string& iniPath)
    : m_settings(
          std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

CQSettingsProfileStore::~CQSettingsProfileStore() {
    Flush();
}

int CQSettingsProfileStore::GetProfileInt(const std::string& section, const std::string& entry,
                                          int defaultValue) {
    const QVariant value = m_settings->value(Key(section, entry));
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray ||
        value.typeId() == QMetaType::QStringList)
        return defaultValue;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    // A stored word is 32 bits; it may have been written signed (-1) or unsigned (4294967295).
    if (!ok || number < INT_MIN || number > static_cast<qlonglong>(UINT32_MAX))
        return defaultValue;
    return static_cast<int>(static_cast<std::uint32_t>(number));
}

std::string CQSettingsProfileStore::GetProfileString(const std::string& section,
                                                     const std::string& entry,
                                                     const std::string& defaultValue) {
    const QVariant value = m_settings->value(Key(section, entry));
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    // An unquoted value with commas reads back as a list; it was one text when written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

bool CQSettingsProfileStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                             int value) {
    if (!m_private)
        MakePrivate();
    if (!m_settings->isWritable())
        return false;
    m_settings->setValue(Key(section, entry), value);
    return true;
}

bool CQSettingsProfileStore::WriteProfileString(const std::string& section,
                                                const std::string& entry,
                                                const std::string& value) {
    if (!m_private)
        MakePrivate();
    if (!m_settings->isWritable())
        return false;
    const QByteArray bytes = QByteArray::fromStdString(value);
    const QString text = QString::fromUtf8(bytes);
    // Texts that are not UTF-8 (paths typed on older systems) are kept byte for byte.
    if (text.toUtf8() == bytes)
        m_settings->setValue(Key(section, entry), text);
    else
        m_settings->setValue(Key(section, entry), bytes);
    return true;
}

bool CQSettingsProfileStore::Flush() {
    m_settings->sync();
    if (m_private)
        MakePrivate();
    return m_settings->status() == QSettings::NoError;
}

std::string CQSettingsProfileStore::FilePath() const {
    return m_settings->fileName().toStdString();
}

void CQSettingsProfileStore::MakePrivate() {
    // The profile holds user names and paths: create it private before the first write so
    // that the rewritten file keeps the permissions.
    const QString path = m_settings->fileName();
    const QByteArray native = QFile::encodeName(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
        m_private = true;
    }
}
