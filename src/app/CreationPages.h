#pragma once

#include <QWizardPage>

#include <vector>

class CKivPasswordEdit;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;

// The pages of the creation wizard. Each page's Next runs the core's check for it.

class CCreateWelcomePropPage : public QWizardPage {
    Q_OBJECT
public:
    CCreateWelcomePropPage();
};

class CCreateFilenamePropPage : public QWizardPage {
    Q_OBJECT
public:
    CCreateFilenamePropPage();
    bool validatePage() override;
    QLineEdit* PathBox() const { return m_path; }
    QString GetPath() const;

private:
    void Browse();
    QLineEdit* m_path;
};

class CCreatePasswordPropPage : public QWizardPage {
    Q_OBJECT
public:
    CCreatePasswordPropPage();
    ~CCreatePasswordPropPage() override;
    bool validatePage() override;
    QLineEdit* UsernameBox() const { return m_username; }
    CKivPasswordEdit* PasswordBox() const { return m_password; }
    CKivPasswordEdit* RetypeBox() const { return m_retype; }
    QLineEdit* HintBox() const { return m_hint; }
    void WipePasswords();

private:
    QLineEdit* m_username;
    CKivPasswordEdit* m_password;
    CKivPasswordEdit* m_retype;
    QLineEdit* m_hint;
};

class CCreatePreFillPropPage : public QWizardPage {
    Q_OBJECT
public:
    CCreatePreFillPropPage();
    bool validatePage() override;
    bool GetCreateCategories() const;
    // The ticked categories in tree order (as collected by Next).
    const std::vector<unsigned>& GetCategories() const { return m_categories; }
    QRadioButton* LeaveEmptyButton() const { return m_leaveEmpty; }
    QRadioButton* CreateButton() const { return m_create; }
    QTreeWidget* Tree() const { return m_tree; }

private:
    QRadioButton* m_leaveEmpty;
    QRadioButton* m_create;
    QTreeWidget* m_tree;
    std::vector<unsigned> m_categories;
};

class CCreationWizard;

class CCreateFinishPropPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CCreateFinishPropPage(CCreationWizard& wizard);
    void initializePage() override;
    bool isComplete() const override;
    QString ResultTitle() const;
    QString ResultText() const;

private:
    CCreationWizard& m_wizard;
    QLabel* m_title;
    QLabel* m_text;
    bool m_created = false;
};
