#include "platform/collections.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class CItem : public CObject {
public:
    explicit CItem(int n) : m_n(n) {}
    int m_n;
};

std::vector<int> Forward(const CObList& list) {
    std::vector<int> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.push_back(static_cast<CItem*>(list.GetNext(pos))->m_n);
    return out;
}

std::vector<int> Backward(const CObList& list) {
    std::vector<int> out;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
        out.insert(out.begin(), static_cast<CItem*>(list.GetPrev(pos))->m_n);
    return out;
}

// Both directions must agree, or a link was left dangling.
void ExpectOrder(const CObList& list, const std::vector<int>& expected) {
    EXPECT_EQ(Forward(list), expected);
    EXPECT_EQ(Backward(list), expected);
    EXPECT_EQ(list.GetCount(), static_cast<INT_PTR>(expected.size()));
}

} // namespace

TEST(ObList, InsertsAroundHeadTailAndNullPositions) {
    CItem i1(1), i2(2), i3(3), i4(4), i5(5), i6(6);
    CObList list;
    POSITION p2 = list.AddTail(&i2);
    list.InsertBefore(list.GetHeadPosition(), &i1);
    list.InsertAfter(list.GetTailPosition(), &i4);
    POSITION p3 = list.InsertAfter(p2, &i3);
    ExpectOrder(list, {1, 2, 3, 4});
    EXPECT_EQ(list.GetAt(p3), &i3);

    list.InsertBefore(nullptr, &i5); // null: at the head
    list.InsertAfter(nullptr, &i6);  // null: at the tail
    ExpectOrder(list, {5, 1, 2, 3, 4, 6});

    CObList empty;
    POSITION only = empty.InsertAfter(nullptr, &i1);
    EXPECT_EQ(empty.GetHeadPosition(), only);
    EXPECT_EQ(empty.GetTailPosition(), only);
}

TEST(ObList, PositionsSurviveOtherChangesAndRemovalDuringIteration) {
    std::vector<CItem> items;
    for (int i = 0; i < 6; ++i)
        items.emplace_back(i);
    CObList list;
    std::vector<POSITION> pos;
    for (auto& item : items)
        pos.push_back(list.AddTail(&item));

    list.RemoveHead();
    list.RemoveTail();
    list.AddHead(&items[5]);
    EXPECT_EQ(list.GetAt(pos[3]), &items[3]);
    ExpectOrder(list, {5, 1, 2, 3, 4});

    // Remove every odd element while walking the list.
    for (POSITION p = list.GetHeadPosition(); p != nullptr;) {
        POSITION current = p;
        CObject* obj = list.GetNext(p);
        if (static_cast<CItem*>(obj)->m_n % 2 == 1)
            list.RemoveAt(current);
    }
    ExpectOrder(list, {2, 4});
    EXPECT_EQ(list.GetAt(pos[4]), &items[4]);

    list.SetAt(pos[2], &items[0]);
    ExpectOrder(list, {0, 4});
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(ObList, FindAndFindIndex) {
    CItem a(1), b(2);
    CObList list;
    list.AddTail(&a);
    POSITION second = list.AddTail(&b);
    POSITION third = list.AddTail(&a);

    EXPECT_EQ(list.Find(&a), list.GetHeadPosition());
    EXPECT_EQ(list.Find(&a, list.GetHeadPosition()), third);
    EXPECT_EQ(list.Find(&a, third), nullptr);
    EXPECT_EQ(list.Find(nullptr), nullptr);

    EXPECT_EQ(list.FindIndex(1), second);
    EXPECT_EQ(list.FindIndex(2), third);
    EXPECT_EQ(list.FindIndex(3), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(ObList, AddingWholeListsKeepsTheirOrderEvenOntoThemselves) {
    CItem i1(1), i2(2), i3(3);
    CObList list, other;
    list.AddTail(&i1);
    other.AddTail(&i2);
    other.AddTail(&i3);
    list.AddHead(&other);
    ExpectOrder(list, {2, 3, 1});
    list.AddTail(&other);
    ExpectOrder(list, {2, 3, 1, 2, 3});

    CObList self;
    self.AddTail(&i1);
    self.AddTail(&i2);
    self.AddTail(&self);
    ExpectOrder(self, {1, 2, 1, 2});
    self.AddHead(&self);
    ExpectOrder(self, {1, 2, 1, 2, 1, 2, 1, 2});
}

TEST(ObList, MisuseThrowsInsteadOfCrashing) {
    CObList list;
    EXPECT_THROW(list.GetHead(), CInvalidArgException);
    EXPECT_THROW(list.GetTail(), CInvalidArgException);
    EXPECT_THROW(list.RemoveHead(), CInvalidArgException);
    EXPECT_THROW(list.RemoveTail(), CInvalidArgException);
    POSITION none = nullptr;
    EXPECT_THROW(list.GetNext(none), CInvalidArgException);
    EXPECT_THROW(list.RemoveAt(nullptr), CInvalidArgException);
    EXPECT_THROW(list.AddTail(static_cast<CObList*>(nullptr)), CInvalidArgException);
}

TEST(Arrays, EveryIndexIsChecked) {
    CDWordArray a;
    a.Add(1);
    EXPECT_THROW(a.GetAt(1), CInvalidArgException);
    EXPECT_THROW(a.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(a[5] = 3, CInvalidArgException);
    EXPECT_THROW(a.SetAt(1, 0), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(0, 2), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(-1), CInvalidArgException);
    EXPECT_THROW(a.SetSize(-1), CInvalidArgException);
    EXPECT_THROW(a.InsertAt(-1, 0u), CInvalidArgException);
    EXPECT_EQ(a.GetSize(), 1);

    CStringArray empty;
    EXPECT_EQ(empty.GetUpperBound(), -1);
    EXPECT_THROW(empty.ElementAt(0), CInvalidArgException);
}

TEST(Arrays, InsertRemoveAndAppendKeepValues) {
    CUIntArray a;
    EXPECT_EQ(a.Add(10), 0);
    EXPECT_EQ(a.Add(20), 1);
    a.InsertAt(1, 15, 2);
    a.InsertAt(6, 99); // past the end: grows with zeros first
    EXPECT_EQ(std::vector<UINT>(a.begin(), a.end()), (std::vector<UINT>{10, 15, 15, 20, 0, 0, 99}));
    a.RemoveAt(1, 2);
    a.SetAtGrow(5, 7);
    EXPECT_EQ(std::vector<UINT>(a.begin(), a.end()), (std::vector<UINT>{10, 20, 0, 0, 99, 7}));

    // An element of the array itself as the value, and the array appended to itself.
    CStringArray s;
    s.Add("x");
    s.Add("y");
    s.InsertAt(0, s[1], 3);
    EXPECT_EQ(s.GetSize(), 5);
    EXPECT_EQ(s[0], "y");
    EXPECT_EQ(s.Append(s), 5);
    EXPECT_EQ(s.GetSize(), 10);
    EXPECT_EQ(s[9], "y");
    s.InsertAt(1, &s);
    EXPECT_EQ(s.GetSize(), 20);

    CStringArray copy;
    copy.Copy(s);
    copy.SetAt(0, "changed");
    EXPECT_EQ(s[0], "y");
}
