#pragma once

#include "app/EditPanel.h"

class CHyperlinkBox;

// The address of a URL record; the record's login, password and e-mail are left alone.
class CUrlEditPanel : public CEditPanel {
    Q_OBJECT

public:
    explicit CUrlEditPanel(QWidget* parent = nullptr);

    CHyperlinkBox* UrlBox() const { return m_url; }

protected:
    void LoadType(ICommonProperties* record) override;
    bool StoreType(ICommonProperties* record) override;

private:
    CHyperlinkBox* m_url;
};
