#include "app/ChangeIconDlg.h"

#include "app/EditorStrings.h"
#include "app/TrxImageList.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CChangeIconDlg::CChangeIconDlg(int image, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)) {
    setObjectName(QStringLiteral("ChangeIconDlg"));
    setWindowTitle(EdText(63031));
    if (!ImageList().IsLoaded())
        ImageList().Load();
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(32, 32));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < ImageList().GetCount(); ++i) {
        auto* item = new QListWidgetItem(ImageList().Icon(i), QString::number(i + 1), m_list);
        item->setData(Qt::UserRole, i);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(Image() >= 0); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_list->setCurrentItem(item);
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(460, 360);
    if (image >= 0 && image < m_list->count()) {
        m_list->setCurrentRow(image);
        m_list->scrollToItem(m_list->item(image));
    }
    m_ok->setEnabled(Image() >= 0);
}

int CChangeIconDlg::Image() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->data(Qt::UserRole).toInt();
}
