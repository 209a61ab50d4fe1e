#include "model/FavManager.h"
#include "model/KivDoc.h"
#include "model/KivNavigation.h"

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

class CountingView : public IKivView {
public:
    void OnUpdate(CKivDoc&, IKivView*, int hint, const void* argument) override {
        hints.push_back(hint);
        if (argument)
            ids.push_back(static_cast<const CKivDoc::HINTDATA*>(argument)->newParent);
    }
    std::vector<int> hints;
    std::vector<int> ids;
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

} // namespace
