#pragma once

#include <string>
#include <vector>

// What the document asks of the windows around it: messages to the main window, the dialogs
// of the folder commands, the export wizard and the backup reminder. Every operation has a
// harmless default, so a headless caller implements only what it needs.
class ITxDocHost {
public:
    // Window messages the document posts to the main window.
    static constexpr unsigned kMsgDocumentOpened = 1137;
    static constexpr unsigned kMsgDocumentClosed = 1138;

    virtual ~ITxDocHost() = default;

    // Queues a message for the main window.
    virtual void PostMainWindowMessage(unsigned message) { (void)message; }
    // Closes the export wizard when it is open (before a logout).
    virtual void CloseExportWizard() {}
    // Offers the backup reminder for the data file just closed.
    virtual void OfferBackupReminder(const std::string& path) { (void)path; }
    // The new-folder dialog: name and parent (preselected, the user may choose another).
    // False on Cancel.
    virtual bool AskNewFolder(int& parent, std::string& name) {
        (void)parent;
        (void)name;
        return false;
    }
    // The folder selection dialog of "Move to", with the first selected node preselected.
    // False on Cancel.
    virtual bool SelectFolder(const std::vector<int>& selection, int& target) {
        (void)selection;
        (void)target;
        return false;
    }
};
