#include "app/UrlEditPanel.h"

#include "app/EditorStrings.h"
#include "app/HyperlinkBox.h"
#include "app/PasswordEditPanel.h"
#include "model/Interfaces.h"
#include "ui/TextBytes.h"

#include <QFormLayout>
#include <QToolButton>

CUrlEditPanel::CUrlEditPanel(QWidget* parent) : CEditPanel(parent), m_url(new CHyperlinkBox(this)) {
    auto* copy = new QToolButton(this);
    copy->setToolTip(EdText(61267));
    copy->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));
    if (copy->icon().isNull())
        copy->setText(QStringLiteral("C"));
    copy->setAutoRaise(true);
    connect(copy, &QToolButton::clicked, this, [this] { CopyFieldText(m_url->text()); });
    AddUrlRow(*Fields(), EdText(63035), *m_url, copy);
    Track(m_url);
    WatchUnknownLinks(*this, *m_url);
}

void CUrlEditPanel::LoadType(ICommonProperties* record) {
    TComPtr<IPasswordProperties> p;
    if (record)
        p = TComPtr<ICommonProperties>(record).As<IPasswordProperties>();
    m_url->setText(p ? FromBytes(p->GetURL()) : QString());
}

bool CUrlEditPanel::StoreType(ICommonProperties* record) {
    TComPtr<IPasswordProperties> p = TComPtr<ICommonProperties>(record).As<IPasswordProperties>();
    if (!p)
        return false;
    p->SetURL(ToBytes(m_url->text()));
    return true;
}
