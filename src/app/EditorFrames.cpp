#include "app/EditorFrames.h"

#include "app/CreditCardEditPanel.h"
#include "app/NoteEditPanel.h"
#include "app/PasswordEditPanel.h"
#include "app/UrlEditPanel.h"
#include "model/Interfaces.h"

const EDITOR_TYPE CPasswordFrame::kType = {CLSID_PasswordItem,
                                           61206,
                                           3,
                                           61263,
                                           "Password",
                                           &CTresorixSettings::View_TabSelectedPasswordEdit,
                                           32783};
const EDITOR_TYPE CUrlFrame::kType = {
    CLSID_UrlItem, 61206, 242, 61427, "URL", &CTresorixSettings::View_TabSelectedUrlEdit, 32835};
const EDITOR_TYPE CCreditCardFrame::kType = {CLSID_CreditCardItem,
                                             61207,
                                             4,
                                             61264,
                                             "CreditCard",
                                             &CTresorixSettings::View_TabSelectedCreditCardEdit,
                                             32783};
const EDITOR_TYPE CNoteFrame::kType = {
    CLSID_Note, 61206, 63, 61422, "Note", &CTresorixSettings::View_TabSelectedNoteEdit, 32824};

CPasswordFrame::CPasswordFrame(CTxDoc& doc, QWidget* parent)
    : CEditorFrame(doc, kType, new CPasswordEditPanel, parent) {}

CPasswordEditPanel* CPasswordFrame::Fields() const {
    return static_cast<CPasswordEditPanel*>(Panel());
}

CUrlFrame::CUrlFrame(CTxDoc& doc, QWidget* parent)
    : CEditorFrame(doc, kType, new CUrlEditPanel, parent) {}

CUrlEditPanel* CUrlFrame::Fields() const {
    return static_cast<CUrlEditPanel*>(Panel());
}

CCreditCardFrame::CCreditCardFrame(CTxDoc& doc, QWidget* parent)
    : CEditorFrame(doc, kType, new CCreditCardEditPanel, parent) {}

CCreditCardEditPanel* CCreditCardFrame::Fields() const {
    return static_cast<CCreditCardEditPanel*>(Panel());
}

CNoteFrame::CNoteFrame(CTxDoc& doc, QWidget* parent)
    : CEditorFrame(doc, kType, new CNoteEditPanel, parent) {}

CNoteEditPanel* CNoteFrame::Fields() const {
    return static_cast<CNoteEditPanel*>(Panel());
}

CEditorFrame* MakeEditorFrame(CTxDoc& doc, const CLSID& clsid, QWidget* parent) {
    if (clsid == CLSID_PasswordItem)
        return new CPasswordFrame(doc, parent);
    if (clsid == CLSID_UrlItem)
        return new CUrlFrame(doc, parent);
    if (clsid == CLSID_CreditCardItem)
        return new CCreditCardFrame(doc, parent);
    if (clsid == CLSID_Note)
        return new CNoteFrame(doc, parent);
    return nullptr;
}
