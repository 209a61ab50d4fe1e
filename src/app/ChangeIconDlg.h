#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// Chooses a record's icon from the item-type image list; every image is captioned with its
// index plus one. OK is offered only while an image is selected; a double click chooses.
class CChangeIconDlg : public QDialog {
    Q_OBJECT

public:
    explicit CChangeIconDlg(int image, QWidget* parent = nullptr);

    // The selected image index, -1 when none.
    int Image() const;
    QListWidget* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QListWidget* m_list;
    QPushButton* m_ok;
};
