#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

// "Hyperlink Information": the kind of link and the address, for a typed text that is not
// recognised as a link. The result is the chosen prefix followed by the address.
class CLinkEditorDlg : public QDialog {
    Q_OBJECT

public:
    explicit CLinkEditorDlg(const QString& link, QWidget* parent = nullptr);

    QString Link() const;
    QComboBox* TypeBox() const { return m_type; }
    QLineEdit* UrlBox() const { return m_url; }

private:
    QComboBox* m_type;
    QLineEdit* m_url;
};
