#pragma once

#include <QWizard>

// The base of the program's wizards: classic look, no help button, Back/Next/Finish/Cancel
// in the usual places; pages decide when Next may move on through validatePage().
class CPelvanLPropertySheet : public QWizard {
    Q_OBJECT

public:
    explicit CPelvanLPropertySheet(const QString& title, QWidget* parent = nullptr);

    // Whether the page's Back button is offered.
    void SetBackEnabled(bool enabled);
};
