#include "app/PasGenDlg.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "tools/Password.h"
#include "ui/ModalRunner.h"
#include "ui/TextBytes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr unsigned kIdsCaption = 61270;
constexpr unsigned kIdsSelectOption = 61271;

void SetChecked(QCheckBox* box, int value) {
    box->setChecked(value != 0);
}

int Checked(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

} // namespace

CLengthSpin::CLengthSpin(QWidget* parent) : QSpinBox(parent) {
    setRange(0, kMaxTyped);
    setWrapping(true);
}

void CLengthSpin::stepBy(int steps) {
    const int span = kMaxArrow - kMinArrow + 1;
    int v = std::clamp(value(), kMinArrow, kMaxArrow) - kMinArrow + steps % span;
    v = (v % span + span) % span;
    setValue(v + kMinArrow);
    selectAll();
}

QAbstractSpinBox::StepEnabled CLengthSpin::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

CPasGenDlg::CPasGenDlg(CTresorixSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings),
      m_upper(new QCheckBox(QStringLiteral("&Upper case letters (A - Z)"), this)),
      m_lower(new QCheckBox(QStringLiteral("&Lower case letters (a - z)"), this)),
      m_nums(new QCheckBox(QStringLiteral("&Numerals (0 - 9)"), this)),
      m_exclude(new QCheckBox(QStringLiteral("&Exclude dubious symbols"), this)),
      m_length(new CLengthSpin(this)),
      m_special(new QCheckBox(QStringLiteral("&Special symbols (@, !, #, $, ...)"), this)),
      m_otherE(new QCheckBox(QStringLiteral("&Other (your symbols)"), this)),
      m_other(new QLineEdit(this)),
      m_pronounceE(new QCheckBox(QStringLiteral("&Pronouncing:"), this)),
      m_pronounce(new QSlider(Qt::Horizontal, this)), m_passwordEdit(new QLineEdit(this)),
      m_generate(new QPushButton(QStringLiteral("&Generate"), this)),
      m_firmness(new QProgressBar(this)) {
    setObjectName(QStringLiteral("PasGenDlg"));
    setWindowTitle(QStringLiteral("Vurazizi Zazizedez UV"));
    setStyleSheet(QStringLiteral("QDialog, QGroupBox { background: white; }"));

    m_pronounce->setRange(0, 2);
    m_pronounce->setPageStep(1);
    m_pronounce->setTickPosition(QSlider::TicksBelow);
    m_firmness->setRange(0, kFirmnessMax);
    m_firmness->setTextVisible(false);
    m_passwordEdit->setEchoMode(QLineEdit::Normal);

    auto* general = new QGroupBox(QStringLiteral("General"), this);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(m_upper);
    generalLayout->addWidget(m_lower);
    generalLayout->addWidget(m_nums);
    generalLayout->addWidget(m_exclude);
    auto* lengthRow = new QHBoxLayout;
    auto* lengthLabel = new QLabel(QStringLiteral("Length:"), general);
    lengthLabel->setBuddy(m_length);
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(m_length);
    lengthRow->addStretch();
    generalLayout->addLayout(lengthRow);

    auto* advanced = new QGroupBox(QStringLiteral("Advanced"), this);
    auto* advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->addWidget(m_special);
    advancedLayout->addWidget(m_otherE);
    advancedLayout->addWidget(m_other);
    advancedLayout->addWidget(m_pronounceE);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(new QLabel(QStringLiteral("Any"), advanced));
    sliderRow->addWidget(m_pronounce);
    sliderRow->addWidget(new QLabel(QStringLiteral("Normal"), advanced));
    advancedLayout->addLayout(sliderRow);

    auto* passwordGroup = new QGroupBox(QStringLiteral("Password:"), this);
    auto* passwordLayout = new QHBoxLayout(passwordGroup);
    passwordLayout->addWidget(m_passwordEdit, 1);
    passwordLayout->addWidget(m_generate);

    auto* firmnessGroup = new QGroupBox(QStringLiteral("Firmness:"), this);
    auto* firmnessLayout = new QHBoxLayout(firmnessGroup);
    firmnessLayout->addWidget(m_firmness);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasGenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(general, 0, 0);
    grid->addWidget(advanced, 0, 1);
    grid->addWidget(passwordGroup, 1, 0, 1, 2);
    grid->addWidget(firmnessGroup, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);

    WriteControls();
    connect(m_pronounceE, &QCheckBox::clicked, this, [this] {
        ReadControls();
        UpdateEnabling();
    });
    connect(m_otherE, &QCheckBox::clicked, this, [this] {
        ReadControls();
        UpdateEnabling();
    });
    connect(m_generate, &QPushButton::clicked, this, &CPasGenDlg::Generate);
    connect(m_passwordEdit, &QLineEdit::textChanged, this, [this] {
        if (m_loading)
            return;
        ReadControls();
        ShowFirmness();
    });
    m_generate->setDefault(true);

    // The first password comes at once, without the option check.
    const CTresorixSettings& s = m_settings;
    ShowPassword(CPassword().Generate(
        s.Pasgen_Lenght, s.Pasgen_Upper, s.Pasgen_Lower, s.Pasgen_Nums, s.Pasgen_Exclude,
        s.Pasgen_Special, s.Pasgen_OtherE, s.Pasgen_Other, s.Pasgen_PrononceE, s.Pasgen_Prononce));
}

void CPasGenDlg::WriteControls() {
    m_loading = true;
    const CTresorixSettings& s = m_settings;
    SetChecked(m_upper, s.Pasgen_Upper);
    SetChecked(m_lower, s.Pasgen_Lower);
    SetChecked(m_nums, s.Pasgen_Nums);
    SetChecked(m_exclude, s.Pasgen_Exclude);
    m_length->setValue(s.Pasgen_Lenght);
    SetChecked(m_special, s.Pasgen_Special);
    SetChecked(m_otherE, s.Pasgen_OtherE);
    m_other->setText(FromBytes(s.Pasgen_Other));
    SetChecked(m_pronounceE, s.Pasgen_PrononceE);
    m_pronounce->setValue(s.Pasgen_Prononce);
    m_loading = false;
    UpdateEnabling();
}

void CPasGenDlg::ReadControls() {
    CTresorixSettings& s = m_settings;
    s.Pasgen_Upper = Checked(m_upper);
    s.Pasgen_Lower = Checked(m_lower);
    s.Pasgen_Nums = Checked(m_nums);
    s.Pasgen_Exclude = Checked(m_exclude);
    m_length->interpretText();
    s.Pasgen_Lenght = m_length->value();
    s.Pasgen_Special = Checked(m_special);
    s.Pasgen_OtherE = Checked(m_otherE);
    s.Pasgen_Other = ToBytes(m_other->text());
    s.Pasgen_PrononceE = Checked(m_pronounceE);
    s.Pasgen_Prononce = m_pronounce->value();
    m_password = ToBytes(m_passwordEdit->text());
}

void CPasGenDlg::UpdateEnabling() {
    m_pronounce->setEnabled(m_pronounceE->isChecked());
    m_other->setEnabled(m_otherE->isChecked());
}

bool CPasGenDlg::OptionsSelected() const {
    const CTresorixSettings& s = m_settings;
    if (s.Pasgen_Upper || s.Pasgen_Lower || s.Pasgen_Nums || s.Pasgen_Special)
        return true;
    return s.Pasgen_OtherE && !s.Pasgen_Other.empty();
}

void CPasGenDlg::Generate() {
    ReadControls();
    if (!OptionsSelected()) {
        KivMessageBox(LoadString(kIdsSelectOption), MB_OK | MB_ICONINFORMATION,
                      LoadString(kIdsCaption));
        return;
    }
    const CTresorixSettings& s = m_settings;
    ShowPassword(CPassword().Generate(
        s.Pasgen_Lenght, s.Pasgen_Upper, s.Pasgen_Lower, s.Pasgen_Nums, s.Pasgen_Exclude,
        s.Pasgen_Special, s.Pasgen_OtherE, s.Pasgen_Other, s.Pasgen_PrononceE, s.Pasgen_Prononce));
}

void CPasGenDlg::ShowPassword(const std::string& password) {
    m_loading = true;
    m_passwordEdit->setText(FromBytes(password));
    m_loading = false;
    m_password = password;
    ShowFirmness();
}

void CPasGenDlg::ShowFirmness() {
    const int bits = CPassword::EstimateFirmness(m_password.c_str());
    m_firmness->setValue(std::clamp(bits, 0, kFirmnessMax));
}

void CPasGenDlg::accept() {
    ReadControls();
    QDialog::accept();
}

int RunPasswordGenerator(QWidget* parent) {
    CPasGenDlg dialog(TresorixSettings(), parent);
    return RunModal(dialog);
}

bool RunPasswordGeneratorFor(QWidget* parent, std::string& password) {
    CPasGenDlg dialog(TresorixSettings(), parent);
    if (RunModal(dialog) != QDialog::Accepted || dialog.Password().empty())
        return false;
    password = dialog.Password();
    return true;
}
