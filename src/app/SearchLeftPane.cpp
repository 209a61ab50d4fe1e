#include "app/SearchLeftPane.h"

#include "app/HelpWindow.h"
#include "app/SearchOptionsPanel.h"

CSearchLeftPane::CSearchLeftPane(CTxDoc& doc, QWidget* parent)
    : QScrollArea(parent), m_panel(new CSearchOptionsPanel(doc)) {
    setObjectName(QStringLiteral("SearchLeftPane"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // The pane follows the splitter's width: a narrow pane clips the long check-box texts
    // instead of hiding the start button behind a horizontal scroll bar.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setWidget(m_panel);
    setFocusProxy(m_panel);
}

void CSearchLeftPane::OnHelp() {
    ShowHelpTopic(QString::fromLatin1(kHelpTopic), this);
}
