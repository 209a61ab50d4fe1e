#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Custom Field...": a field's name (one of the predefined captions or any typed one), its
// value, and whether the value is masked on screen.
class CCustomFieldDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCaptionCount = 43;
    // The predefined captions in the order the name box offers them.
    static const char* const* Captions();

    explicit CCustomFieldDlg(QWidget* parent = nullptr);

    void SetField(const std::string& name, const std::string& value, bool masked);
    // The stored list separates name and value by a tab and fields by a line feed, so those
    // characters become blanks here rather than breaking the record apart.
    std::string Name() const;
    std::string Value() const;
    bool Masked() const;

    QComboBox* NameBox() const { return m_name; }
    QLineEdit* ValueBox() const { return m_value; }
    QCheckBox* MaskBox() const { return m_mask; }

private:
    QComboBox* m_name;
    QLineEdit* m_value;
    QCheckBox* m_mask;
};
