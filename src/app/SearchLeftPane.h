#pragma once

#include <QScrollArea>

class CSearchOptionsPanel;
class CTxDoc;

// The search view of the left pane: the options form, scrolled when the pane is small.
class CSearchLeftPane : public QScrollArea {
    Q_OBJECT

public:
    static constexpr const char* kHelpTopic = "search.htm";

    explicit CSearchLeftPane(CTxDoc& doc, QWidget* parent = nullptr);

    CSearchOptionsPanel* Panel() const { return m_panel; }

    // The help command of the view.
    void OnHelp();

private:
    CSearchOptionsPanel* m_panel;
};
