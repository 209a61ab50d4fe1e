#include "app/TipOfTheDayDlg.h"

#include "app/AppStrings.h"
#include "app/HelpStrings.h"
#include "app/TrxImageList.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The tip shown last, so that the next opening goes on with a new one.
int g_lastTip = -1;

} // namespace

int CTipOfTheDayDlg::TipCount() {
    int count = 0;
    while (hids::kFirstTip + static_cast<unsigned>(count) <= hids::kLastTip &&
           !LoadString(hids::kFirstTip + static_cast<unsigned>(count)).empty())
        ++count;
    return count;
}

CTipOfTheDayDlg::CTipOfTheDayDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TipOfTheDayDlg"));
    setWindowTitle(Tr(hids::kTipTitle));

    auto* picture = new QLabel;
    picture->setPixmap(ImageList().Icon(CTrxImageList::kProgram).pixmap(48, 48));
    auto* heading = new QLabel(Tr(hids::kDidYouKnow));
    QFont bold = heading->font();
    bold.setBold(true);
    if (bold.pointSizeF() > 0)
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);

    m_text = new QLabel;
    m_text->setObjectName(QStringLiteral("TipText"));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setMinimumSize(340, 90);

    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(heading);
    inner->addWidget(m_text, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(frame, 1);

    auto* buttons = new QDialogButtonBox;
    m_next = buttons->addButton(Tr(hids::kNextTip), QDialogButtonBox::ActionRole);
    m_next->setObjectName(QStringLiteral("NextTip"));
    QPushButton* close = buttons->addButton(Tr(hids::kClose), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseTip"));
    close->setDefault(true);
    connect(m_next, &QPushButton::clicked, this, &CTipOfTheDayDlg::ShowNextTip);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTipOfTheDayDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);

    m_next->setEnabled(TipCount() > 1);
    ShowTip(g_lastTip + 1);
}

QString CTipOfTheDayDlg::TipText() const {
    return m_text->text();
}

void CTipOfTheDayDlg::ShowNextTip() {
    ShowTip(m_tip + 1);
}

void CTipOfTheDayDlg::ShowTip(int index) {
    const int count = TipCount();
    m_tip = count > 0 ? index % count : 0;
    if (m_tip < 0)
        m_tip = 0;
    g_lastTip = m_tip;
    m_text->setText(count > 0 ? Tr(hids::kFirstTip + static_cast<unsigned>(m_tip)) : QString());
}
