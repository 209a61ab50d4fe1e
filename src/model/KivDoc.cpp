#include "model/KivDoc.h"

#include <algorithm>

void CKivDoc::AddView(IKivView* view) {
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CKivDoc::RemoveView(IKivView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CKivDoc::UpdateAllViews(IKivView* sender, int hint, const void* argument) {
    const std::vector<IKivView*> round = m_views;
    for (IKivView* view : round) {
        if (view == sender)
            continue;
        if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
            continue;
        view->OnUpdate(*this, sender, hint, argument);
    }
}

void CKivDoc::UpdateAllViews(IKivView* sender, int hint, int id, int oldParent, int newParent) {
    HINTDATA data;
    data.id = id;
    data.oldParent = oldParent;
    data.newParent = newParent;
    UpdateAllViews(sender, hint, &data);
}
