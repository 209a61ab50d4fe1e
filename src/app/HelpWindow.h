#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The program's help: the built-in pages with a contents list beside them. Only pages of the
// program are ever shown; a link anywhere else is ignored.
class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows topic ("search.htm", optionally with "#anchor"); an unknown topic shows the index.
    void ShowTopic(const QString& topic);
    // The file name of the page shown.
    QString CurrentTopic() const;

    QTextBrowser* Browser() const { return m_browser; }
    QTreeWidget* Contents() const { return m_contents; }

    // Every page, index first, then by title.
    static QStringList Pages();
    // The page's title (from its title element), or the file name when it has none.
    static QString PageTitle(const QString& page);
    // The page's text, empty when there is no such page.
    static QString PageText(const QString& page);
    // Whether name is one of the pages.
    static bool IsPage(const QString& name);

private:
    void OnLink(const QUrl& url);
    void OnSourceChanged(const QUrl& url);
    void OnContentsItem(QTreeWidgetItem* item);

    QTreeWidget* m_contents;
    QTextBrowser* m_browser;
};

// Opens topic in the one help window of the program. While a modal dialog runs, the window
// belongs to that dialog so that it can be used; parent only places it the first time.
void ShowHelpTopic(const QString& topic, QWidget* parent);
// The open help window, or null.
CHelpWindow* OpenHelpWindow();
// Closes and destroys the help window, if any.
void CloseHelpWindow();
