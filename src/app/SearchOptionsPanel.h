#pragma once

#include "app/FolderPickerDlg.h"
#include "model/KivDoc.h"
#include "tools/SearchHistory.h"
#include "tools/SearchMachine.h"

#include <QWidget>

class CTxDoc;
class QCheckBox;
class QComboBox;
class QPushButton;

// The search form: the text with its history, the fields searched, the type of item and the
// folder to look in, and the button that starts a search or stops the running one. The
// search itself runs on the machine's worker; its results reach the document here, on the
// window's thread.
class CSearchOptionsPanel : public QWidget, public ISearchNotify, public IKivView {
    Q_OBJECT

public:
    // The check boxes, in the order of the form.
    enum FIELD {
        kName,
        kLogin,
        kUrl,
        kComments,
        kCardholder,
        kAddress,
        kFilename,
        kSubfolders,
        kFieldCount
    };
    // The item data of "Browse..." in "Look in:" (folders have positive identifiers).
    static constexpr int kBrowseEntry = 0;

    explicit CSearchOptionsPanel(CTxDoc& doc, QWidget* parent = nullptr);
    ~CSearchOptionsPanel() override;

    // The start button: starts a search when idle, stops the running one otherwise.
    void OnStartStop();
    bool IsRunning() const { return m_running; }

    // While paused (another view shows in the list) found results wait in the machine; they
    // are handed over when the pause ends.
    void SetDeliveryPaused(bool paused);
    // Any thread: asks for the waiting results to be handed over on the window's thread.
    void QueueDelivery();

    // The folder of the selected "Look in:" entry.
    int LookInFolder() const;
    // Selects the entry of folder id, adding it first when it is not listed; false when the
    // folder cannot be read.
    bool SelectLookInFolder(int id);
    // Renames the "Look in:" entries after their folders and drops those that are gone.
    void RefreshLookIn();
    // The filter value of the selected "Type of item:" entry.
    int TypeFilter() const;
    void SetFolderPicker(FOLDER_PICKER picker) { m_folderPicker = std::move(picker); }
    void FocusSearchText();

    QComboBox* SearchForBox() const { return m_searchFor; }
    QCheckBox* FieldBox(int field) const { return m_fields[field]; }
    QComboBox* TypeBox() const { return m_type; }
    QComboBox* LookInBox() const { return m_lookIn; }
    QPushButton* StartButton() const { return m_start; }
    CSearchMachine& Machine() { return m_machine; }
    const CSearchHistory& History() const { return m_history; }

    // Message 1115.
    void OnSearchEnded() override;
    void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ReadControls();
    void WriteControls();
    void FillHistory();
    void ResetLookIn();
    void AddLookInEntry(int id, const QString& name, int image);
    void OnLookInActivated(int index);
    void OnSearchTextEdited(const QString& text);
    void SetRunning(bool running);
    void Deliver();

    CTxDoc& m_doc;
    CSearchMachine m_machine;
    CSearchHistory m_history;
    FOLDER_PICKER m_folderPicker;

    QComboBox* m_searchFor = nullptr;
    QCheckBox* m_fields[kFieldCount] = {};
    QComboBox* m_type = nullptr;
    QComboBox* m_lookIn = nullptr;
    QPushButton* m_start = nullptr;

    // The folder the picker opens on: the last one chosen.
    int m_pickerFolder = 1;
    bool m_running = false;
    bool m_paused = false;
    bool m_deliveryWaiting = false;
    // The end of a search cut short by a logout is not reported as its completion.
    bool m_quietEnd = false;
    // The last key pressed in the search text; Delete and Backspace are not completed.
    int m_lastKey = 0;
};
