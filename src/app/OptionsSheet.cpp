#include "app/OptionsSheet.h"

#include "app/AppStrings.h"
#include "app/AppearanceOptionsPage.h"
#include "app/AutoLogoutOptionsPage.h"
#include "app/ClipboardOptionsPage.h"
#include "app/Messages.h"
#include "app/OptionsPage.h"
#include "app/TrayOptionsPage.h"
#include "platform/TresorixSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QCheckBox* AddCheck(QVBoxLayout& layout, unsigned text, int value) {
    auto* box = new QCheckBox(Tr(text));
    box->setChecked(value != 0);
    layout.addWidget(box);
    return box;
}

// Writes the box into member; true when that changed it.
bool Exchange(QCheckBox* box, int& member) {
    const int value = box->isChecked() ? 1 : 0;
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

COptionsSheet::COptionsSheet(bool layoutOnly, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsSheet"));
    setWindowTitle(Tr(ids::kProgramOptions));
    CTresorixSettings& settings = TresorixSettings();
    m_pages = new QTabWidget;

    auto* layoutPage = new QWidget;
    auto* layoutBox = new QVBoxLayout(layoutPage);
    m_showPreview = AddCheck(*layoutBox, ids::kShowPreview, settings.View_ShowPreviewPanel);
    m_advancedCaption = AddCheck(*layoutBox, ids::kAdvancedCaption, settings.View_AdvancedCaption);
    m_rememberTabs = AddCheck(*layoutBox, ids::kRememberTabs, settings.View_RememberTabs);
    layoutBox->addStretch(1);
    m_pages->addTab(layoutPage, Tr(ids::kPageLayout));

    if (!layoutOnly) {
        for (COptionsPage* page : std::initializer_list<COptionsPage*>{
                 new CClipboardOptionsPage(settings), new CTrayOptionsPage(settings),
                 new CAutoLogoutOptionsPage(settings), new CAppearanceOptionsPage(settings)}) {
            m_pages->addTab(page, page->Title());
            m_extraPages.push_back(page);
        }
        auto* cachePage = new QWidget;
        auto* cacheBox = new QVBoxLayout(cachePage);
        m_cacheItems = AddCheck(*cacheBox, ids::kCacheItems, settings.Cache_CacheLoadedItems);
        m_invalidateCache =
            AddCheck(*cacheBox, ids::kInvalidateCache, settings.Cache_InvalidateCache);
        cacheBox->addStretch(1);
        m_pages->addTab(cachePage, Tr(ids::kPageCache));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);
    setMinimumSize(420, 260);
}

void COptionsSheet::accept() {
    CTresorixSettings& settings = TresorixSettings();
    m_changes.clear();
    bool layout = Exchange(m_showPreview, settings.View_ShowPreviewPanel);
    layout = Exchange(m_advancedCaption, settings.View_AdvancedCaption) || layout;
    layout = Exchange(m_rememberTabs, settings.View_RememberTabs) || layout;
    if (layout)
        m_changes.push_back(msg::kChangeLayout);
    for (COptionsPage* page : m_extraPages)
        if (const int code = page->Apply(settings))
            m_changes.push_back(code);
    if (m_cacheItems) {
        bool cache = Exchange(m_cacheItems, settings.Cache_CacheLoadedItems);
        cache = Exchange(m_invalidateCache, settings.Cache_InvalidateCache) || cache;
        if (cache)
            m_changes.push_back(msg::kChangeCache);
    }
    QDialog::accept();
}
