#pragma once

#include <QWizardPage>

#include <array>

class CExportTreeWidget;
class CExportWizard;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class CExportPage0_Welcome : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage0_Welcome(QWidget* parent = nullptr);
};

class CExportPage1_Type : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage1_Type(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QRadioButton* TypeButton(int type) const { return m_buttons[type]; }

private:
    CExportWizard& m_wizard;
    std::array<QRadioButton*, 4> m_buttons{};
};

class CExportPage2_CsvOptions : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage2_CsvOptions(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QCheckBox* HeaderBox() const { return m_header; }
    QCheckBox* QuotesBox() const { return m_quotes; }
    QCheckBox* CrLfBox() const { return m_crlf; }
    QLineEdit* SeparatorEdit() const { return m_separator; }

private:
    CExportWizard& m_wizard;
    QCheckBox* m_header;
    QCheckBox* m_quotes;
    QCheckBox* m_crlf;
    QLineEdit* m_separator;
    QString m_lastSeparator;
};

class CExportPage2_HtmlOptions : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage2_HtmlOptions(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QLineEdit* TitleEdit() const { return m_title; }
    QRadioButton* ClassicButton() const { return m_classic; }
    QRadioButton* SimpleButton() const { return m_simple; }
    QCheckBox* VariegatedBox() const { return m_variegated; }
    QCheckBox* SearchFieldBox() const { return m_searchField; }

private:
    CExportWizard& m_wizard;
    QLineEdit* m_title;
    QRadioButton* m_classic;
    QRadioButton* m_simple;
    QCheckBox* m_variegated;
    QCheckBox* m_searchField;
};

class CExportPage2_TrxOptions : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage2_TrxOptions(CExportWizard& wizard);

    bool validatePage() override;
    int nextId() const override;

    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QLineEdit* RetypeEdit() const { return m_retype; }
    QLineEdit* HintEdit() const { return m_hint; }

private:
    CExportWizard& m_wizard;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_retype;
    QLineEdit* m_hint;
};

class CExportPage2_XmlOptions : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage2_XmlOptions(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QLineEdit* TitleEdit() const { return m_title; }
    QCheckBox* CustomFieldsBox() const { return m_customFields; }

private:
    CExportWizard& m_wizard;
    QLineEdit* m_title;
    QCheckBox* m_customFields;
};

class CExportPage3_Data : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage3_Data(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    CExportTreeWidget* Tree() const { return m_tree; }
    QCheckBox* CascadeBox() const { return m_cascade; }

private:
    CExportWizard& m_wizard;
    CExportTreeWidget* m_tree;
    QCheckBox* m_cascade;
};

class CExportPage4_Fields : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage4_Fields(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QComboBox* SortList() const { return m_sort; }
    QListWidget* Columns() const { return m_columns; }
    QPushButton* UpButton() const { return m_up; }
    QPushButton* DownButton() const { return m_down; }

private:
    void Move(int delta);

    CExportWizard& m_wizard;
    QComboBox* m_sort;
    QListWidget* m_columns;
    QPushButton* m_up;
    QPushButton* m_down;
};

class CExportPage5_Filename : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage5_Filename(CExportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    int nextId() const override;

    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browse; }
    QCheckBox* OpenBox() const { return m_open; }

    void Browse();

private:
    CExportWizard& m_wizard;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QCheckBox* m_open;
};

class CExportPage6_Finish : public QWizardPage {
    Q_OBJECT

public:
    explicit CExportPage6_Finish(CExportWizard& wizard);

    void initializePage() override;
    bool isComplete() const override { return m_succeeded; }

    bool Succeeded() const { return m_succeeded; }
    QLabel* StateLabel() const { return m_state; }
    QLabel* TextLabel() const { return m_text; }

private:
    CExportWizard& m_wizard;
    QLabel* m_state;
    QLabel* m_text;
    bool m_succeeded = false;
};
