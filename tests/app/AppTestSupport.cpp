#include "AppTestSupport.h"

#include "platform/StringTable.h"
#include "ui/ModalRunner.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <cstdlib>

namespace apptest {

QString FixturesDir() {
    QString dir = qEnvironmentVariable("TX_FIXTURES_DIR");
    if (dir.isEmpty())
        dir = QStringLiteral(TX_TEST_FIXTURES_DIR);
    return QDir(dir).exists() ? dir : QString();
}

QString CopyVault(const QTemporaryDir& dir, const QString& name) {
    const QString source = FixturesDir() + QStringLiteral("/vaults/") + name;
    const QString target = dir.filePath(name);
    QFile::remove(target);
    if (FixturesDir().isEmpty() || !QFile::copy(source, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

CModalScript::CModalScript() {
    SetModalHook([this](QDialog& dialog) { return Run(dialog); });
}

CModalScript::~CModalScript() {
    SetModalHook({});
}

int CModalScript::Run(QDialog& dialog) {
    m_shown.push_back(dialog.objectName());
    if (m_steps.empty()) {
        ++m_unexpected;
        return QDialog::Rejected;
    }
    STEP step = std::move(m_steps.front());
    m_steps.pop_front();
    dialog.show();
    QApplication::processEvents();
    const int result = step(dialog);
    dialog.hide();
    return result;
}

int Finish(QDialog& dialog) {
    return dialog.isVisible() ? -1 : dialog.result();
}

CAppHarness::CAppHarness()
    : m_instance(QStringLiteral("tx-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    messages.SetDefaultAnswer(IDOK);
    // The reminder's ten-second countdown would hold up every logout; its tests turn it on.
    store.WriteProfileInt("Settings", "Backup_RemaindDaysEnable", 0);
}

CTresorixApp::OPTIONS CAppHarness::Options() const {
    CTresorixApp::OPTIONS options;
    options.instanceName = m_instance;
    options.store = const_cast<CMemoryProfileStore*>(&store);
    options.desktopServices = false;
    options.registerTypes = false;
    return options;
}

int CAppHarness::Count(unsigned id) const {
    // Texts with arguments are matched by their part before the first one.
    std::string text = LoadString(id);
    const std::size_t arg = text.find('%');
    const bool prefix = arg != std::string::npos;
    if (prefix)
        text.resize(arg);
    int n = 0;
    for (const auto& m : messages.Messages())
        if (prefix ? m.text.rfind(text, 0) == 0 : m.text == text)
            ++n;
    return n;
}

bool CAppHarness::Shown(unsigned id) const {
    return Count(id) > 0;
}

int RunTests(QObject& object, int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QDir().mkpath(home.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")).toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kiv Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresorix Pro"));
    return QTest::qExec(&object, argc, argv);
}

} // namespace apptest
