#pragma once

#include <vector>

class CKivDoc;

// Something that shows the document and is told what changed.
class IKivView {
public:
    virtual ~IKivView() = default;
    // hint says what changed; argument is null or points to data valid during the call.
    virtual void OnUpdate(CKivDoc& doc, IKivView* sender, int hint, const void* argument) = 0;
};

// A document with attached views that receive hints, in the manner of a document/view
// framework: the document never knows what its views are, only that they want updates.
class CKivDoc {
public:
    // The argument of the hints that carry numbers: one identifier, or an identifier with the
    // old and the new parent of a move.
    struct HINTDATA {
        int id = 0;
        int oldParent = 0;
        int newParent = 0;
    };

    CKivDoc() = default;
    virtual ~CKivDoc() = default;
    CKivDoc(const CKivDoc&) = delete;
    CKivDoc& operator=(const CKivDoc&) = delete;

    // Views are not owned; a view removes itself before it goes away.
    void AddView(IKivView* view);
    void RemoveView(IKivView* view);
    int GetViewCount() const { return static_cast<int>(m_views.size()); }

    // Calls OnUpdate of every view except sender. A view may add or remove views meanwhile;
    // views removed during the round are not called afterwards.
    void UpdateAllViews(IKivView* sender, int hint = 0, const void* argument = nullptr);
    // Shorthand for hints whose argument is HINTDATA.
    void UpdateAllViews(IKivView* sender, int hint, int id, int oldParent = 0, int newParent = 0);

private:
    std::vector<IKivView*> m_views;
};
