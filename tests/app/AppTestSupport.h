#pragma once

#include "app/TresorixApp.h"
#include "platform/Clipboard.h"
#include "platform/MemoryProfileStore.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace apptest {

// The shared fixtures folder (empty when missing).
QString FixturesDir();
// Copies fixture vaults/<name> into dir; the copy's path, empty (and a failure) when missing.
QString CopyVault(const QTemporaryDir& dir, const QString& name);

// Scripts the modal dialogs of a flow: each dialog that runs takes the next step, which
// works the (shown) dialog and returns its result. A dialog with no step left is rejected
// and counted as unexpected.
class CModalScript {
public:
    using STEP = std::function<int(QDialog&)>;

    CModalScript();
    ~CModalScript();
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;

    void Add(STEP step) { m_steps.push_back(std::move(step)); }
    // The object names of the dialogs that ran, in order.
    const std::vector<QString>& Shown() const { return m_shown; }
    int Unexpected() const { return m_unexpected; }
    bool Done() const { return m_steps.empty(); }

private:
    int Run(QDialog& dialog);

    std::deque<STEP> m_steps;
    std::vector<QString> m_shown;
    int m_unexpected = 0;
};

// Clicks button and returns the dialog's result once it has closed (-1 while still open).
int Finish(QDialog& dialog);

// Everything a test of the program needs: an in-memory profile, recorded message boxes, a
// memory clipboard and a recording shell, and a guard name of its own.
class CAppHarness {
public:
    CAppHarness();

    CTresorixApp::OPTIONS Options() const;

    CMemoryProfileStore store;
    CScopedMessageRecorder messages;
    CScopedMemoryClipboard clipboard;
    CScopedShellRecorder shell;
    QTemporaryDir dir;

    // Whether a message with string id's text was shown.
    bool Shown(unsigned id) const;
    int Count(unsigned id) const;

private:
    QString m_instance;
};

// Prepares the environment (private XDG folders) and runs the tests of object.
int RunTests(QObject& object, int argc, char** argv);

} // namespace apptest

#define TX_APP_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char** argv) {                                                              \
        TestClass test;                                                                            \
        return apptest::RunTests(test, argc, argv);                                                \
    }
