#pragma once

#include "tools/CsvImportPages.h"

#include <QWizardPage>

#include <array>

class CCsvImportWizard;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class CImportCsvPageWelcome : public QWizardPage {
    Q_OBJECT

public:
    explicit CImportCsvPageWelcome(QWidget* parent = nullptr);
};

class CImportCsvPageFile : public QWizardPage {
    Q_OBJECT

public:
    explicit CImportCsvPageFile(CCsvImportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;

    QRadioButton* ClipboardChoice() const { return m_clipboard; }
    QRadioButton* FileChoice() const { return m_fileChoice; }
    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browse; }
    QCheckBox* HeaderBox() const { return m_header; }
    QCheckBox* QuotesBox() const { return m_quotes; }
    QLineEdit* SeparatorEdit() const { return m_separator; }

    void Browse();

private:
    CCsvImportWizard& m_wizard;
    QRadioButton* m_clipboard;
    QRadioButton* m_fileChoice;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QCheckBox* m_header;
    QCheckBox* m_quotes;
    QLineEdit* m_separator;
    QString m_lastSeparator;
};

class CImportCsvPageFields : public QWizardPage {
    Q_OBJECT

public:
    explicit CImportCsvPageFields(CCsvImportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;
    void cleanupPage() override;
    bool isComplete() const override { return m_sourceOk; }

    QCheckBox* TargetBox(int target) const { return m_boxes[target]; }
    QComboBox* TargetList(int target) const { return m_lists[target]; }

private:
    CCsvImportWizard& m_wizard;
    std::array<QCheckBox*, CCsvImport::kTargetCount> m_boxes{};
    std::array<QComboBox*, CCsvImport::kTargetCount> m_lists{};
    bool m_sourceOk = false;
};

class CImportCsvPageValues : public QWizardPage {
    Q_OBJECT

public:
    static constexpr int kWarningRed = 255;
    static constexpr int kWarningGreen = 190;
    static constexpr int kWarningBlue = 125;

    explicit CImportCsvPageValues(CCsvImportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;

    QTreeWidget* List() const { return m_list; }
    QPushButton* SelectAllButton() const { return m_selectAll; }
    QPushButton* DeselectAllButton() const { return m_deselectAll; }
    QPushButton* InvertButton() const { return m_invert; }

private:
    void SetChecks(int mode);

    CCsvImportWizard& m_wizard;
    QTreeWidget* m_list;
    QPushButton* m_selectAll;
    QPushButton* m_deselectAll;
    QPushButton* m_invert;
};

class CImportCsvSelectFolder : public QWizardPage {
    Q_OBJECT

public:
    static constexpr int kBrowseEntry = -1;

    explicit CImportCsvSelectFolder(CCsvImportWizard& wizard);

    void initializePage() override;
    bool validatePage() override;

    QComboBox* FolderList() const { return m_list; }
    // The folder of the current entry, 0 for none.
    int SelectedFolder() const;

private:
    void Refresh(int select);
    void OnActivated(int index);
    int IndexOf(int id) const;
    void AddFolder(int id);

    CCsvImportWizard& m_wizard;
    QComboBox* m_list;
    int m_previous = 0;
};

class CImportCsvPageFinish : public QWizardPage {
    Q_OBJECT

public:
    explicit CImportCsvPageFinish(CCsvImportWizard& wizard);

    void initializePage() override;

    int Count() const { return m_count; }
    bool Committed() const { return m_committed; }
    QLabel* TextLabel() const { return m_text; }

private:
    CCsvImportWizard& m_wizard;
    QLabel* m_text;
    int m_count = 0;
    bool m_committed = false;
};
