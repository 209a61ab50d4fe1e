#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "Tip of the Day...": one short tip at a time, Next Tip goes round all of them.
class CTipOfTheDayDlg : public QDialog {
    Q_OBJECT

public:
    // Starts with the tip after the one shown last in this run of the program.
    explicit CTipOfTheDayDlg(QWidget* parent = nullptr);

    // Number of tips in the string table.
    static int TipCount();
    int CurrentTip() const { return m_tip; }
    QString TipText() const;
    QPushButton* NextButton() const { return m_next; }

    void ShowNextTip();

private:
    void ShowTip(int index);

    QLabel* m_text;
    QPushButton* m_next;
    int m_tip = 0;
};
