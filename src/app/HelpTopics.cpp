#include "app/HelpTopics.h"

#include "app/HelpWindow.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QWidget>

#include <string_view>

namespace {

struct TOPIC {
    std::string_view window; // object name or class name
    std::string_view topic;
};

// Windows that set an object name are listed by it; the others by class. Widgets inside a
// window (panes, pages, lists) are listed only where they have a page of their own.
constexpr TOPIC kTopics[] = {
    {"MainFrame", "index.htm"},
    {"CMainFrame", "index.htm"},
    {"FavTreeView", "favlist.htm"},
    {"CFavTreeView", "favlist.htm"},
    {"SearchLeftPane", "search.htm"},
    {"CSearchLeftPane", "search.htm"},
    {"SearchOptionsPanel", "search.htm"},
    {"CSearchOptionsPanel", "search.htm"},
    {"StartupDlg", "datafile.htm"},
    {"CStartupDlg", "datafile.htm"},
    {"PasswordDlg", "login_logout.htm"},
    {"CPasswordDlg", "login_logout.htm"},
    {"CreationWizard", "newfile.htm"},
    {"CCreationWizard", "newfile.htm"},
    {"PasswordEditor", "passwords.htm"},
    {"CPasswordFrame", "passwords.htm"},
    {"URLEditor", "url.htm"},
    {"CUrlFrame", "url.htm"},
    {"LinkEditorDlg", "url.htm"},
    {"CLinkEditorDlg", "url.htm"},
    {"CreditCardEditor", "creditcard.htm"},
    {"CCreditCardFrame", "creditcard.htm"},
    {"NoteEditor", "note.htm"},
    {"CNoteFrame", "note.htm"},
    {"CEditorFrame", "editors.htm"},
    {"ChangeIconDlg", "editors.htm"},
    {"CChangeIconDlg", "editors.htm"},
    {"CustomFieldDlg", "customfields.htm"},
    {"CCustomFieldDlg", "customfields.htm"},
    {"CCustomFieldsList", "customfields.htm"},
    {"CFileRecordDlg", "files.htm"},
    {"FileRecordDlg", "files.htm"},
    {"FileChangedDlg", "files.htm"},
    {"CFileChangedDlg", "files.htm"},
    {"NewFolderDlg", "folders.htm"},
    {"CNewFolderDlg", "folders.htm"},
    {"MoveToFolderDlg", "folders.htm"},
    {"CMoveToFolderDlg", "folders.htm"},
    {"FolderPickerDlg", "folders.htm"},
    {"CFolderPickerDlg", "folders.htm"},
    {"FolderPropertiesDlg", "folders.htm"},
    {"CFolderPropertiesDlg", "folders.htm"},
    {"PasGenDlg", "pasgen.htm"},
    {"CPasGenDlg", "pasgen.htm"},
    {"CsvImportWizard", "import.htm"},
    {"CCsvImportWizard", "import.htm"},
    {"ExportWizard", "export.htm"},
    {"CExportWizard", "export.htm"},
    {"BackupDlg", "backup.htm"},
    {"CBackupDlg", "backup.htm"},
    {"BackupOptinsDlg", "backup.htm"},
    {"CBackupOptinsDlg", "backup.htm"},
    {"DatabaseManagerDlg", "database.htm"},
    {"CDatabaseManagerDlg", "database.htm"},
    {"ChangePaswordDlg", "database.htm"},
    {"CChangePaswordDlg", "database.htm"},
    {"OptionsSheet", "options.htm"},
    {"COptionsSheet", "options.htm"},
    {"AutoLogoutPage", "protection.htm"},
    {"CAutoLogoutOptionsPage", "protection.htm"},
    {"TrayPage", "protection.htm"},
    {"CTrayOptionsPage", "protection.htm"},
    {"ClipboardPage", "protection.htm"},
    {"CClipboardOptionsPage", "protection.htm"},
    {"TipOfTheDayDlg", "index.htm"},
    {"CTipOfTheDayDlg", "index.htm"},
    {"HelpWindow", "index.htm"},
    {"CHelpWindow", "index.htm"},
};

QString Lookup(std::string_view name) {
    if (name.empty())
        return {};
    for (const TOPIC& t : kTopics) {
        if (t.window == name)
            return QString::fromLatin1(t.topic.data(), static_cast<qsizetype>(t.topic.size()));
    }
    return {};
}

} // namespace

QString HelpIndexTopic() {
    return QStringLiteral("index.htm");
}

QString HelpTopicOf(const QObject* widget) {
    if (!widget)
        return {};
    const QByteArray name = widget->objectName().toLatin1();
    QString topic = Lookup(std::string_view(name.constData(), static_cast<size_t>(name.size())));
    for (const QMetaObject* mo = widget->metaObject(); topic.isEmpty() && mo; mo = mo->superClass())
        topic = Lookup(mo->className());
    return topic;
}

QString HelpTopicFor(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString topic = HelpTopicOf(w);
        if (!topic.isEmpty())
            return topic;
    }
    return HelpIndexTopic();
}

QStringList MappedHelpTopics() {
    QStringList topics;
    for (const TOPIC& t : kTopics) {
        const QString topic =
            QString::fromLatin1(t.topic.data(), static_cast<qsizetype>(t.topic.size()));
        if (!topics.contains(topic))
            topics.append(topic);
    }
    return topics;
}

CHelpKeyFilter::CHelpKeyFilter(QObject* parent) : QObject(parent) {}

bool CHelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Claim F1 so that a window's own F1 shortcut does not open help a second time; the
        // key press that follows comes back here.
        event->accept();
        return true;
    }
    if (!key->isAutoRepeat()) {
        auto* widget = static_cast<QWidget*>(watched);
        ShowHelpTopic(HelpTopicFor(widget), widget);
    }
    return true;
}
