#pragma once

#include <QString>
#include <QWidget>

class CTresorixSettings;

// A page of the options sheet. It shows the settings' members when built and writes them
// back when the sheet is accepted.
class COptionsPage : public QWidget {
    Q_OBJECT

public:
    explicit COptionsPage(QWidget* parent = nullptr);

    virtual QString Title() const = 0;
    // Writes the controls into settings; the change code to send with message 1034 when that
    // changed a member, else 0.
    virtual int Apply(CTresorixSettings& settings) = 0;
};
