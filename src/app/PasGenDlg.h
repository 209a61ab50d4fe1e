#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

class CTresorixSettings;
class QCheckBox;
class QProgressBar;
class QPushButton;
class QSlider;

// The length spin: its arrows wrap within 1..64, while the edit still takes a typed number
// up to kMaxTyped (a bound, so a slip of the keyboard cannot build a gigantic password).
class CLengthSpin : public QSpinBox {
    Q_OBJECT

public:
    static constexpr int kMinArrow = 1;
    static constexpr int kMaxArrow = 64;
    static constexpr int kMaxTyped = 4096;

    explicit CLengthSpin(QWidget* parent = nullptr);
    void stepBy(int steps) override;
    QLineEdit* Edit() const { return lineEdit(); }

protected:
    StepEnabled stepEnabled() const override;
};

// "Vurazizi Zazizedez UV": edits the generator options, which live in the settings object
// only, and shows a generated password with its firmness.
class CPasGenDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFirmnessMax = 120;

    explicit CPasGenDlg(CTresorixSettings& settings, QWidget* parent = nullptr);

    // The text of the password edit as last read (after OK: as it was on OK).
    std::string Password() const { return m_password; }

    // Reads the options and generates, unless no class is selected (then only the message).
    void Generate();

    QCheckBox* UpperBox() const { return m_upper; }
    QCheckBox* LowerBox() const { return m_lower; }
    QCheckBox* NumsBox() const { return m_nums; }
    QCheckBox* ExcludeBox() const { return m_exclude; }
    QCheckBox* SpecialBox() const { return m_special; }
    QCheckBox* OtherBox() const { return m_otherE; }
    QCheckBox* PronounceBox() const { return m_pronounceE; }
    QLineEdit* OtherEdit() const { return m_other; }
    QLineEdit* PasswordEdit() const { return m_passwordEdit; }
    CLengthSpin* LengthSpin() const { return m_length; }
    QSlider* PronounceSlider() const { return m_pronounce; }
    QProgressBar* FirmnessBar() const { return m_firmness; }
    QPushButton* GenerateButton() const { return m_generate; }

    void accept() override;

private:
    void WriteControls();
    void ReadControls();
    void UpdateEnabling();
    void ShowPassword(const std::string& password);
    void ShowFirmness();
    bool OptionsSelected() const;

    CTresorixSettings& m_settings;
    QCheckBox* m_upper;
    QCheckBox* m_lower;
    QCheckBox* m_nums;
    QCheckBox* m_exclude;
    CLengthSpin* m_length;
    QCheckBox* m_special;
    QCheckBox* m_otherE;
    QLineEdit* m_other;
    QCheckBox* m_pronounceE;
    QSlider* m_pronounce;
    QLineEdit* m_passwordEdit;
    QPushButton* m_generate;
    QProgressBar* m_firmness;
    std::string m_password;
    bool m_loading = false;
};

// From the main window's tools command: shows the dialog; the result is not used.
int RunPasswordGenerator(QWidget* parent);

// From a password editor: true when the dialog ended with OK and a non-empty password, which
// then is in password; otherwise password is left alone.
bool RunPasswordGeneratorFor(QWidget* parent, std::string& password);
