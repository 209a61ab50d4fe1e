#include "app/NoteEditPanel.h"

#include "app/EditorStrings.h"

#include <QTabWidget>

CNoteEditPanel::CNoteEditPanel(QWidget* parent) : CEditPanel(parent) {
    Tabs()->setTabText(kCommentsTab, EdText(63037).remove(QLatin1Char(':')));
}
