#include "app/ClipboardOptionsPage.h"

#include "app/Messages.h"
#include "app/OptionsPageHelpers.h"
#include "platform/TresorixSettings.h"

#include <QCheckBox>
#include <QVBoxLayout>

CClipboardOptionsPage::CClipboardOptionsPage(const CTresorixSettings& settings, QWidget* parent)
    : COptionsPage(parent) {
    setObjectName(QStringLiteral("ClipboardPage"));
    m_clearOnExit = new QCheckBox(QStringLiteral("Clear the clipboard on e&xit"));
    m_clearOnExit->setObjectName(QStringLiteral("1141"));
    m_clearOnExit->setChecked(settings.App_ClearClipboardOnExit != 0);
    m_clearOnMinimize =
        new QCheckBox(QStringLiteral("Clear the clipboard when the window is &minimized"));
    m_clearOnMinimize->setObjectName(QStringLiteral("1142"));
    m_clearOnMinimize->setChecked(settings.App_ClearClipboardOnMinimize != 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_clearOnExit);
    layout->addWidget(m_clearOnMinimize);
    layout->addStretch(1);
}

QString CClipboardOptionsPage::Title() const {
    return QStringLiteral("Clipboard");
}

int CClipboardOptionsPage::Apply(CTresorixSettings& settings) {
    bool changed = ExchangeFlag(m_clearOnExit, settings.App_ClearClipboardOnExit);
    changed = ExchangeFlag(m_clearOnMinimize, settings.App_ClearClipboardOnMinimize) || changed;
    return changed ? msg::kChangeHotKey : 0;
}
