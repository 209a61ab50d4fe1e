#include "model/FavManager.h"
#include "model/KivDoc.h"
#include "model/KivNavigation.h"
#include "model/WindowManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KivNavigation, BackAtFirstEntryDoesNothing) {
    CKivNavigation<int> nav;
    int entry = -5;
    EXPECT_FALSE(nav.Back(entry));
    EXPECT_FALSE(nav.Forward(entry));
    EXPECT_EQ(entry, -5);
    nav.Push(1);
    EXPECT_FALSE(nav.Back(entry));
    EXPECT_EQ(nav.GetIndex(), 0);
    EXPECT_EQ(entry, -5);
}

TEST(KivNavigation, PushAfterBackDropsForwardEntries) {
    CKivNavigation<int> nav;
    for (int id : {1, 3, 5, 7})
        nav.Push(id);
    int entry = 0;
    ASSERT_TRUE(nav.Back(entry));
    ASSERT_TRUE(nav.Back(entry));
    EXPECT_EQ(entry, 3);
    EXPECT_TRUE(nav.CanForward());
    nav.Push(9);
    EXPECT_FALSE(nav.CanForward());
    EXPECT_EQ(nav.GetCount(), 3);
    ASSERT_TRUE(nav.Back(entry));
    EXPECT_EQ(entry, 3);
    ASSERT_TRUE(nav.Forward(entry));
    EXPECT_EQ(entry, 9);
    nav.Clear();
    EXPECT_EQ(nav.GetIndex(), -1);
    EXPECT_FALSE(nav.GetCurrent(entry));
}

TEST(FavManager, KeepsOrderWithoutDuplicates) {
    CFavManager fav;
    for (int id : {11, 25, 19, 25, 11})
        fav.Add(id);
    EXPECT_EQ(fav.GetEntries(), (std::vector<int>{11, 25, 19}));
    fav.Remove(25);
    fav.Remove(99);
    EXPECT_EQ(fav.GetEntries(), (std::vector<int>{11, 19}));
    EXPECT_EQ(fav.Find(19), 1);
    EXPECT_EQ(fav.Find(25), -1);
}

TEST(FavManager, IterationSurvivesRemovalOfCurrentEntry) {
    CFavManager fav;
    for (int id : {1, 2, 3, 4})
        fav.Add(id);
    std::vector<int> seen;
    fav.Reset();
    while (fav.MoveNext()) {
        seen.push_back(fav.GetCurrent());
        if (fav.GetCurrent() == 2)
            fav.Remove(2);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(fav.MoveNext());
    fav.Clear();
    fav.Reset();
    EXPECT_FALSE(fav.MoveNext());
}

class CountingView : public IKivView {
public:
    explicit CountingView(CKivDoc* doc = nullptr, IKivView* victim = nullptr)
        : m_doc(doc), m_victim(victim) {}
    void OnUpdate(CKivDoc&, IKivView*, int hint, const void* argument) override {
        hints.push_back(hint);
        if (argument)
            ids.push_back(static_cast<const CKivDoc::HINTDATA*>(argument)->newParent);
        if (m_doc && m_victim)
            m_doc->RemoveView(m_victim);
    }
    std::vector<int> hints;
    std::vector<int> ids;

private:
    CKivDoc* m_doc;
    IKivView* m_victim;
};

TEST(KivDoc, UpdatesEveryViewButTheSender) {
    CKivDoc doc;
    CountingView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&a);
    doc.UpdateAllViews(&a, 5);
    doc.UpdateAllViews(nullptr, 1066, 12, 3, 4);
    EXPECT_EQ(a.hints, (std::vector<int>{1066}));
    EXPECT_EQ(b.hints, (std::vector<int>{5, 1066}));
    EXPECT_EQ(b.ids, (std::vector<int>{4}));
}

TEST(KivDoc, ViewRemovedDuringRoundIsNotCalled) {
    CKivDoc doc;
    CountingView victim;
    CountingView remover(&doc, &victim);
    doc.AddView(&remover);
    doc.AddView(&victim);
    doc.UpdateAllViews(nullptr, 0);
    EXPECT_EQ(remover.hints.size(), 1u);
    EXPECT_TRUE(victim.hints.empty());
    EXPECT_EQ(doc.GetViewCount(), 1);
}

class FakeEditor : public IEditorWindow {
public:
    FakeEditor(CWindowManager& manager, int id, bool mayClose)
        : m_manager(manager), m_id(id), m_mayClose(mayClose) {}
    bool QueryClose() override {
        ++asked;
        return m_mayClose;
    }
    void Close() override {
        closed = true;
        m_manager.Remove(m_id, this);
    }
    void Activate() override { ++activated; }
    int asked = 0;
    int activated = 0;
    bool closed = false;

private:
    CWindowManager& m_manager;
    int m_id;
    bool m_mayClose;
};

TEST(WindowManager, CloseAllStopsAtFirstRefusal) {
    CWindowManager manager;
    FakeEditor first(manager, 11, true), refusing(manager, 12, false), last(manager, 13, true);
    manager.Add(11, &first);
    manager.Add(12, &refusing);
    manager.Add(13, &last);
    EXPECT_EQ(manager.Find(12), &refusing);
    EXPECT_FALSE(manager.CloseAll());
    EXPECT_TRUE(first.closed);
    EXPECT_FALSE(refusing.closed);
    EXPECT_EQ(last.asked, 0);
    EXPECT_EQ(manager.GetCount(), 2);
    manager.Remove(&refusing);
    EXPECT_TRUE(manager.CloseAll());
    EXPECT_TRUE(last.closed);
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_TRUE(manager.CloseAll());
}

} // namespace
