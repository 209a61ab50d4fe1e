#pragma once

#include "model/ComPtr.h"

#include <QWidget>

#include <vector>

class CKivPasswordEdit;
class CHyperlinkEdit;
class ICommonProperties;
class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QFormLayout;

// A read-only view of one record type in the preview pane.
class CPreviewPanel : public QWidget {
    Q_OBJECT

public:
    explicit CPreviewPanel(QWidget* parent = nullptr) : QWidget(parent) {}
    virtual void ShowRecord(ICommonProperties& record) = 0;
    // Wipes every shown text (secrets must not stay in hidden widgets).
    virtual void Clear() = 0;

protected:
    // A read-only box with a copy button (and an open button for addresses) in a form row.
    QLineEdit* AddField(QFormLayout& form, unsigned label, bool isUrl = false);
    CKivPasswordEdit* AddSecret(QFormLayout& form, unsigned label);
    // The tabs of string tabsId; the current tab follows the setting *remembered.
    QTabWidget* MakeTabs(unsigned tabsId, int* remembered, std::vector<QWidget*> pages);
    void ClearFields();

    std::vector<QLineEdit*> m_fields;
};

// The custom fields of a record: name and value, masked values hidden.
class CCustomFieldsPreview : public QWidget {
    Q_OBJECT
public:
    explicit CCustomFieldsPreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record);
    void Clear();
    QTreeWidget* List() const { return m_list; }

private:
    QTreeWidget* m_list;
};

class CPasswordPreview : public CPreviewPanel {
    Q_OBJECT
public:
    explicit CPasswordPreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record) override;
    void Clear() override;
    CKivPasswordEdit* PasswordBox() const { return m_password; }
    QLineEdit* LoginBox() const { return m_login; }

private:
    QLineEdit* m_login;
    CKivPasswordEdit* m_password;
    QLineEdit* m_email;
    QLineEdit* m_url;
    QPlainTextEdit* m_comments;
    CCustomFieldsPreview* m_custom;
};

class CCreditCardPreview : public CPreviewPanel {
    Q_OBJECT
public:
    explicit CCreditCardPreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record) override;
    void Clear() override;

private:
    QLineEdit* m_nameOnCard;
    QLineEdit* m_number;
    CKivPasswordEdit* m_code;
    CKivPasswordEdit* m_pin;
    QLineEdit* m_type;
    QLineEdit* m_expiration;
    QLineEdit* m_bank;
    QLineEdit* m_address;
    QLineEdit* m_city;
    QLineEdit* m_country;
    QPlainTextEdit* m_comments;
    CCustomFieldsPreview* m_custom;
};

class CFilePreview : public CPreviewPanel {
    Q_OBJECT
public:
    explicit CFilePreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record) override;
    void Clear() override;

private:
    QLineEdit* m_fileName;
    QPlainTextEdit* m_comments;
    CCustomFieldsPreview* m_custom;
};

class CNotePreview : public CPreviewPanel {
    Q_OBJECT
public:
    explicit CNotePreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record) override;
    void Clear() override;

private:
    QPlainTextEdit* m_text;
};

class CUrlPreview : public CPreviewPanel {
    Q_OBJECT
public:
    explicit CUrlPreview(QWidget* parent = nullptr);
    void ShowRecord(ICommonProperties& record) override;
    void Clear() override;

private:
    QLineEdit* m_url;
    QPlainTextEdit* m_comments;
    CCustomFieldsPreview* m_custom;
};

// The preview pane: the panel of the shown record's type, or nothing.
class CPreviewContainer : public QWidget {
    Q_OBJECT
public:
    enum PANEL { kNone, kPassword, kCreditCard, kFile, kNote, kUrl };

    explicit CPreviewContainer(QWidget* parent = nullptr);
    void ShowRecord(TComPtr<ICommonProperties> record);
    void Clear();
    // The panel shown now.
    PANEL Current() const { return m_current; }
    CPreviewPanel* Panel(PANEL panel) const;

private:
    QStackedWidget* m_stack;
    std::vector<CPreviewPanel*> m_panels; // indexed by PANEL - 1
    PANEL m_current = kNone;
};
