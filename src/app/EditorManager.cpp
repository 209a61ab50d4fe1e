#include "app/EditorManager.h"

#include "app/AddFile.h"
#include "app/Commands.h"
#include "app/EditorFrames.h"
#include "model/Interfaces.h"
#include "model/TxDoc.h"
#include "model/WindowManager.h"

#include <QApplication>

#include <algorithm>

CEditorManager::CEditorManager(CTxDoc& doc, CWindowManager& windows, POST post)
    : m_doc(doc), m_windows(windows), m_post(std::move(post)) {}

CEditorManager::~CEditorManager() {
    // Editors still open when the program ends go without a question.
    for (const QPointer<CEditorFrame>& frame : std::vector<QPointer<CEditorFrame>>(m_frames))
        if (frame) {
            frame->SetMainWindowPost({});
            delete frame.data();
        }
}

CEditorFrame* CEditorManager::Make(const CLSID& clsid) {
    CEditorFrame* frame = MakeEditorFrame(m_doc, clsid);
    if (!frame)
        return nullptr;
    frame->SetClosedHandler([this](CEditorFrame& f) { OnClosed(f); });
    frame->SetIdChangedHandler([this](CEditorFrame& f, int old) { OnIdChanged(f, old); });
    frame->SetMainWindowPost([this](unsigned message, int wParam) {
        if (m_post)
            m_post(message, wParam);
    });
    m_frames.emplace_back(frame);
    return frame;
}

void CEditorManager::OpenItem(int id) {
    m_doc.OpenItem(id);
}

IEditorWindow* CEditorManager::OpenEditor(int id, const CLSID& clsid) {
    CEditorFrame* frame = Make(clsid);
    if (!frame)
        return nullptr;
    frame->Open(id, 0);
    frame->Activate();
    return frame;
}

CEditorFrame* CEditorManager::NewItem(const CLSID& clsid, int parent) {
    if (!m_doc.IsAuthorised() || parent <= 0)
        return nullptr;
    CEditorFrame* frame = Make(clsid);
    if (!frame)
        return nullptr;
    frame->Open(0, parent);
    m_windows.Add(0, frame);
    frame->Activate();
    return frame;
}

bool CEditorManager::OnNewItemCommand(int command) {
    const CLSID* clsid = nullptr;
    switch (command) {
    case cmd::kNewPassword:
        clsid = &CLSID_PasswordItem;
        break;
    case cmd::kNewCreditCard:
        clsid = &CLSID_CreditCardItem;
        break;
    case cmd::kNewNote:
        clsid = &CLSID_Note;
        break;
    case cmd::kNewUrl:
        clsid = &CLSID_UrlItem;
        break;
    default:
        return false;
    }
    return NewItem(*clsid, m_doc.GetCurrentFolder()) != nullptr;
}

void CEditorManager::RunFileDialog(int id) {
    if (m_fileDialog) {
        m_fileDialog(id);
        return;
    }
    QWidget* parent = QApplication::activeModalWidget();
    RunFileRecordDialog(m_doc, id, parent ? parent : QApplication::activeWindow());
}

CEditorFrame* CEditorManager::Find(int id) const {
    for (const auto& frame : m_frames)
        if (frame && frame->GetItemId() == id)
            return frame.data();
    return nullptr;
}

std::vector<CEditorFrame*> CEditorManager::Editors() const {
    std::vector<CEditorFrame*> open;
    for (const auto& frame : m_frames)
        if (frame)
            open.push_back(frame.data());
    return open;
}

void CEditorManager::OnClosed(CEditorFrame& frame) {
    m_windows.Remove(&frame);
    m_frames.erase(std::remove_if(m_frames.begin(), m_frames.end(),
                                  [&frame](const QPointer<CEditorFrame>& f) {
                                      return !f || f.data() == &frame;
                                  }),
                   m_frames.end());
}

void CEditorManager::OnIdChanged(CEditorFrame& frame, int oldId) {
    (void)oldId;
    // Only a registered editor moves; the first Open happens before the registration.
    const auto& entries = m_windows.GetEntries();
    if (std::none_of(entries.begin(), entries.end(),
                     [&frame](const CWindowManager::ENTRY& e) { return e.second == &frame; }))
        return;
    m_windows.Remove(&frame);
    m_windows.Add(frame.GetItemId(), &frame);
}
