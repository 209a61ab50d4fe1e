#pragma once

#include <QWidget>

#include <functional>
#include <string>

class CCustomFieldsList;
class ICommonProperties;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

// The part every record editor shares: the name box, the record's icon with its "Change"
// button, and the tabs with the comments and the custom fields. A type's panel adds its own
// boxes to Fields() and copies them in LoadType/StoreType. The panel tracks two modified
// flags (fields, custom fields) and turns Escape into a close request and Enter into Tab.
class CEditPanel : public QWidget {
    Q_OBJECT

public:
    // A form row holding a layout gets no buddy by itself; a label's mnemonic needs one.
    static QLabel* BuddyLabel(const QString& text, QWidget* buddy);
    enum TAB { kCommentsTab = 0, kAdvancedTab = 1 };

    explicit CEditPanel(QWidget* parent = nullptr);
    ~CEditPanel() override;

    // Fills the panel from record, or for a new record (null) empties it with defaultImage.
    void Load(ICommonProperties* record, int defaultImage);
    // Copies the panel into record; false when the record lacks its type's interface.
    bool Store(ICommonProperties* record);

    bool IsModified() const { return m_fieldsModified || m_customModified; }
    bool IsFieldsModified() const { return m_fieldsModified; }
    bool IsCustomFieldsModified() const { return m_customModified; }
    void ClearModified();

    std::string Name() const;
    int Image() const { return m_image; }
    // A chosen image counts as a change.
    void SetImage(int image);
    // Runs the change-icon dialog; true when an image was chosen.
    bool ChangeIcon();

    QLineEdit* NameBox() const { return m_name; }
    QPlainTextEdit* CommentsBox() const { return m_comments; }
    CCustomFieldsList* CustomFields() const { return m_customFields; }
    QTabWidget* Tabs() const { return m_tabs; }
    QPushButton* ChangeButton() const { return m_change; }

    // Starts the key handling on every control of the panel (after the type's boxes exist).
    void InstallKeyHandling();
    // Set while the window is closing, so that leaving a box starts no dialog.
    void SetClosing(bool closing) { m_closing = closing; }
    bool IsClosing() const { return m_closing; }
    bool IsLoading() const { return m_loading; }

signals:
    // Escape was pressed in the panel.
    void CloseRequested();
    void Modified();

protected:
    virtual void LoadType(ICommonProperties* record) = 0;
    virtual bool StoreType(ICommonProperties* record) = 0;

    QFormLayout* Fields() const { return m_fields; }
    // A type box whose edits count as changes.
    void Track(QLineEdit* box);
    void Track(QComboBox* box);
    // Adds a row with box and a "Copy to Clipboard" button; returns the button.
    // secret: the copy is marked so that clipboard managers do not keep it.
    QToolButton* AddCopyRow(const QString& label, QWidget* box, QLineEdit* source,
                            bool secret = false);
    QToolButton* AddCopyRow(const QString& label, QComboBox* box);
    QToolButton* AddCopyRow(const QString& label, QWidget* box, std::function<QString()> source,
                            bool secret = false);
    void MarkFieldsChanged();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* MakeCopyButton(std::function<QString()> source, bool secret = false);
    void ShowImage();

    QLabel* m_icon;
    QPushButton* m_change;
    QLineEdit* m_name;
    QFormLayout* m_fields;
    QTabWidget* m_tabs;
    QPlainTextEdit* m_comments;
    CCustomFieldsList* m_customFields;
    int m_image = 5;
    bool m_fieldsModified = false;
    bool m_customModified = false;
    bool m_loading = false;
    bool m_closing = false;
};

// Copies text to the clipboard, telling the user when it could not be placed there.
bool CopyFieldText(const QString& text, bool secret = false);
