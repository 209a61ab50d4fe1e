#include "app/SearchLeftPane.h"

#include "app/HelpWindow.h"
#include "app/SearchOptionsPanel.h"

CSearchLeftPane::CSearchLeftPane(CTxDoc& doc, QWidget* parent)
    : QScrollArea(parent), m_panel(new CSearchOptionsPanel(doc)) {
    setObjectName(QStringLiteral("SearchLeftPane"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(m_panel);
    setFocusProxy(m_panel);
}

void CSearchLeftPane::OnHelp() {
    ShowHelpTopic(QString::fromLatin1(kHelpTopic), this);
}
