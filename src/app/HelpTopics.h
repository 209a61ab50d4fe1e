#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

// The page every unknown or missing topic falls back to; also the main window's topic.
QString HelpIndexTopic();

// The topic of one widget: by object name first, then by its class and base classes; empty
// when the widget has no topic of its own.
QString HelpTopicOf(const QObject* widget);
// The topic for help asked in widget: the first widget up its parent chain that has a topic,
// else the index.
QString HelpTopicFor(const QWidget* widget);
// Every topic the map hands out, without duplicates.
QStringList MappedHelpTopics();

// F1 anywhere in the program opens the help page of the window it was pressed in. Install it
// on the application object before the first window appears.
class CHelpKeyFilter : public QObject {
    Q_OBJECT

public:
    explicit CHelpKeyFilter(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
