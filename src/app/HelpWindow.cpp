#include "app/HelpWindow.h"

#include "app/AppStrings.h"
#include "app/HelpStrings.h"
#include "app/HelpTopics.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

// The pages are compiled into the program's library; a static library needs the resource
// registered by name.
static void RegisterHelpPages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)registered;
}

namespace {

const QString kFolder = QStringLiteral(":/help/");

QPointer<CHelpWindow>& Window() {
    static QPointer<CHelpWindow> window;
    return window;
}

QUrl PageUrl(const QString& page, const QString& fragment) {
    QUrl url(QStringLiteral("qrc:/help/") + page);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

} // namespace

QStringList CHelpWindow::Pages() {
    RegisterHelpPages();
    static const QStringList pages = [] {
        QStringList list = QDir(kFolder).entryList({QStringLiteral("*.htm")}, QDir::Files);
        std::sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
            if (a == QLatin1String("index.htm") || b == QLatin1String("index.htm"))
                return a == QLatin1String("index.htm") && b != a;
            return PageTitle(a).compare(PageTitle(b), Qt::CaseInsensitive) < 0;
        });
        return list;
    }();
    return pages;
}

QString CHelpWindow::PageText(const QString& page) {
    RegisterHelpPages();
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || page.contains(QLatin1Char('\\')))
        return {};
    QFile file(kFolder + page);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString CHelpWindow::PageTitle(const QString& page) {
    static const QRegularExpression title(QStringLiteral("<title>\\s*(.*?)\\s*</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = title.match(PageText(page));
    return match.hasMatch() && !match.captured(1).isEmpty() ? match.captured(1) : page;
}

bool CHelpWindow::IsPage(const QString& name) {
    return Pages().contains(name);
}

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    RegisterHelpPages();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(Tr(hids::kHelpTitle));
    // Help must not keep the program running once the main window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setColumnCount(1);
    m_contents->setHeaderLabels({Tr(hids::kContents)});
    m_contents->setRootIsDecorated(false);
    for (const QString& page : Pages()) {
        auto* item = new QTreeWidgetItem(m_contents, {PageTitle(page)});
        item->setData(0, Qt::UserRole, page);
        item->setToolTip(0, item->text(0));
    }

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links are followed here, so that nothing outside the pages is ever opened.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);

    auto* back = new QToolButton;
    back->setText(Tr(hids::kBack));
    back->setEnabled(false);
    auto* forward = new QToolButton;
    forward->setText(Tr(hids::kForward));
    forward->setEnabled(false);
    auto* home = new QToolButton;
    home->setText(Tr(hids::kHome));
    connect(back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { ShowTopic(HelpIndexTopic()); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);

    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::OnLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnSourceChanged);
    connect(m_contents, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnContentsItem(item); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch(1);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 590});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(860, 600);
}

void CHelpWindow::ShowTopic(const QString& topic) {
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    QString page = (hash < 0 ? topic : topic.left(hash)).trimmed().toLower();
    QString fragment = hash < 0 ? QString() : topic.mid(hash + 1);
    if (!IsPage(page)) {
        page = HelpIndexTopic();
        fragment.clear();
    }
    m_browser->setSource(PageUrl(page, fragment));
    // The same page again does not announce itself; keep the contents in step anyway.
    OnSourceChanged(m_browser->source());
}

QString CHelpWindow::CurrentTopic() const {
    return m_browser->source().fileName();
}

void CHelpWindow::OnLink(const QUrl& url) {
    if (!url.scheme().isEmpty() && url.scheme() != QLatin1String("qrc"))
        return;
    if (url.path().isEmpty()) {
        if (url.hasFragment())
            m_browser->setSource(PageUrl(CurrentTopic(), url.fragment()));
        return;
    }
    const QString path = url.path();
    const QString name = url.fileName();
    // Only the pages themselves: "x.htm" or the resource path of one.
    if (path != name && path != QLatin1String("/help/") + name)
        return;
    ShowTopic(url.hasFragment() ? name + QLatin1Char('#') + url.fragment() : name);
}

void CHelpWindow::OnSourceChanged(const QUrl& url) {
    const QString page = url.fileName();
    setWindowTitle(Tr(hids::kHelpTitle) + QStringLiteral(" - ") + PageTitle(page));
    for (int i = 0; i < m_contents->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_contents->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() == page && m_contents->currentItem() != item) {
            const QSignalBlocker block(m_contents);
            m_contents->setCurrentItem(item);
        }
    }
}

void CHelpWindow::OnContentsItem(QTreeWidgetItem* item) {
    if (!item)
        return;
    const QString page = item->data(0, Qt::UserRole).toString();
    if (page != CurrentTopic())
        ShowTopic(page);
}

void ShowHelpTopic(const QString& topic, QWidget* parent) {
    QPointer<CHelpWindow>& window = Window();
    // A window outside a running modal dialog would not take input; hang it under the dialog.
    QWidget* owner = QApplication::activeModalWidget();
    if (window && window->parentWidget() != owner && window.data() != owner)
        window->setParent(owner, window->windowFlags());
    if (!window) {
        window = new CHelpWindow(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
        if (parent && parent->window())
            window->move(parent->window()->geometry().topLeft() + QPoint(40, 40));
    }
    window->ShowTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
}

CHelpWindow* OpenHelpWindow() {
    return Window().data();
}

void CloseHelpWindow() {
    delete Window().data();
}
