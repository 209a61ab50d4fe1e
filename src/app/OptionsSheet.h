#pragma once

#include <QDialog>

#include <vector>

class COptionsPage;
class QCheckBox;
class QTabWidget;

// The "Program Options" sheet. Its pages change the settings' members when OK is pressed and
// report the change codes the main window reacts to.
class COptionsSheet : public QDialog {
    Q_OBJECT

public:
    // Layout only ("Layout..." command) or every page that exists.
    explicit COptionsSheet(bool layoutOnly, QWidget* parent = nullptr);

    void accept() override;
    // Change codes of the pages whose settings changed (after OK).
    const std::vector<int>& ChangeCodes() const { return m_changes; }

    QCheckBox* ShowPreview() const { return m_showPreview; }
    QCheckBox* AdvancedCaption() const { return m_advancedCaption; }
    QCheckBox* RememberTabs() const { return m_rememberTabs; }
    QCheckBox* CacheItems() const { return m_cacheItems; }
    QCheckBox* InvalidateCache() const { return m_invalidateCache; }
    QTabWidget* Pages() const { return m_pages; }
    // The clipboard, tray icon, auto-logout and appearance pages (empty for "Layout...").
    const std::vector<COptionsPage*>& ExtraPages() const { return m_extraPages; }

private:
    QTabWidget* m_pages;
    QCheckBox* m_showPreview;
    QCheckBox* m_advancedCaption;
    QCheckBox* m_rememberTabs;
    QCheckBox* m_cacheItems = nullptr;
    QCheckBox* m_invalidateCache = nullptr;
    std::vector<COptionsPage*> m_extraPages;
    std::vector<int> m_changes;
};
