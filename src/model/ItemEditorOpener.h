#pragma once

#include "model/Guid.h"

class IEditorWindow;

// Opens the windows that edit records; the document decides which one a record gets.
class IItemEditorOpener {
public:
    virtual ~IItemEditorOpener() = default;
    // Makes and shows the editor frame for a password, note, URL or credit card record; the
    // document registers it with the window manager. Null when none could be made.
    virtual IEditorWindow* OpenEditor(int id, const CLSID& clsid) = 0;
    // Runs the modal file record dialog for a file record.
    virtual void RunFileDialog(int id) = 0;
};
