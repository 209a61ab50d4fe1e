#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <map>
#include <vector>

class QAction;
class QObject;

// The main window's commands: id, menu text, shortcuts and icon. The tool tip and status
// text come from the string table entry of the same id.
struct COMMAND {
    int id;
    unsigned menuText; // string id of the menu text; 0: the short part of the id's own text
    QList<QKeySequence> shortcuts;
    int image; // item-type image index, -1 for a theme icon or none
    const char* themeIcon;
    bool checkable;
};

const std::vector<COMMAND>& CommandTable();

// One QAction per command, owned by parent, keyed by id.
std::map<int, QAction*> MakeCommandActions(QObject* parent);
