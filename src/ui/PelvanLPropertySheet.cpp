#include "ui/PelvanLPropertySheet.h"

#include <QAbstractButton>

CPelvanLPropertySheet::CPelvanLPropertySheet(const QString& title, QWidget* parent)
    : QWizard(parent) {
    setWindowTitle(title);
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setOption(QWizard::HaveHelpButton, false);
}

void CPelvanLPropertySheet::SetBackEnabled(bool enabled) {
    if (QAbstractButton* back = button(QWizard::BackButton))
        back->setVisible(enabled);
}
