#pragma once

#include "app/EditPanel.h"

// A note: its name and its text (the record's comments, on the first tab).
class CNoteEditPanel : public CEditPanel {
    Q_OBJECT

public:
    explicit CNoteEditPanel(QWidget* parent = nullptr);

protected:
    void LoadType(ICommonProperties*) override {}
    bool StoreType(ICommonProperties*) override { return true; }
};
