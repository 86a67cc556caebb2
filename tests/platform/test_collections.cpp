#include "platform/collections.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
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

// A list that counts, per object, how often it was told of the object entering and leaving.
class CountingList : public CObList {
public:
    std::map<const CObject*, int> held;

protected:
    void OnElementAdded(CObject* pObject) override { ++held[pObject]; }
    void OnElementRemoved(CObject* pObject) override { --held[pObject]; }
};

// Every look-up of the list against a plain vector of what it should hold, in order.
void ExpectLookupsAgree(const CountingList& list, const std::vector<POSITION>& places,
                        const std::vector<CItem*>& values, const std::vector<CItem>& pool,
                        std::mt19937& random) {
    ASSERT_EQ(list.GetCount(), static_cast<INT_PTR>(places.size()));
    for (std::size_t i = 0; i < places.size(); ++i) {
        ASSERT_EQ(list.FindIndex(static_cast<INT_PTR>(i)), places[i]) << "index " << i;
        ASSERT_EQ(list.GetIndexOf(places[i]), static_cast<INT_PTR>(i));
        ASSERT_EQ(list.GetAt(places[i]), values[i]);
    }
    EXPECT_EQ(list.FindIndex(static_cast<INT_PTR>(places.size())), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.Find(nullptr), nullptr);
    std::map<const CObject*, int> occurrences;
    for (CItem* value : values)
        ++occurrences[value];
    for (const CItem& item : pool) {
        const auto first = std::find(values.begin(), values.end(), &item);
        const INT_PTR expected = first == values.end() ? -1 : first - values.begin();
        ASSERT_EQ(list.IndexOf(&item), expected) << "value " << item.m_n;
        ASSERT_EQ(list.Find(&item), expected < 0 ? nullptr : places[expected]);
        const int held = list.held.count(&item) ? list.held.at(&item) : 0;
        ASSERT_EQ(held, occurrences[&item]) << "value " << item.m_n;
        if (!places.empty()) {
            const std::size_t after = random() % places.size();
            const auto next = std::find(values.begin() + after + 1, values.end(), &item);
            ASSERT_EQ(list.Find(&item, places[after]),
                      next == values.end() ? nullptr : places[next - values.begin()]);
        }
    }
}

// Long lists answer look-ups from an index; every kind of change must leave it agreeing with
// the list, whether or not a look-up came between the changes.
TEST(ObList, LookupsAgreeWithTheListAfterEveryKindOfChange) {
    std::vector<CItem> pool;
    for (int i = 0; i < 40; ++i)
        pool.emplace_back(i);
    std::mt19937 random(11);
    CountingList list;
    std::vector<POSITION> places;
    std::vector<CItem*> values;
    auto pick = [&] { return &pool[random() % pool.size()]; };
    for (int step = 0; step < 4000; ++step) {
        // Grow towards 60 elements, emptying the list now and then.
        int op = static_cast<int>(random() % (places.size() < 60 ? 12 : 9));
        if ((places.empty() && op <= 5) || (op == 7 && step % 50 != 0))
            op = 9;
        const std::size_t at = places.empty() ? 0 : random() % places.size();
        CItem* value = pick();
        if (op == 0) {
            list.RemoveAt(places[at]);
            places.erase(places.begin() + at);
            values.erase(values.begin() + at);
        } else if (op == 1) {
            list.RemoveHead();
            places.erase(places.begin());
            values.erase(values.begin());
        } else if (op == 2) {
            list.RemoveTail();
            places.pop_back();
            values.pop_back();
        } else if (op == 3) {
            list.SetAt(places[at], value);
            values[at] = value;
        } else if (op == 4) {
            places.insert(places.begin() + at, list.InsertBefore(places[at], value));
            values.insert(values.begin() + at, value);
        } else if (op == 5) {
            places.insert(places.begin() + at + 1, list.InsertAfter(places[at], value));
            values.insert(values.begin() + at + 1, value);
        } else if (op == 6) {
            places.insert(places.begin(), list.AddHead(value));
            values.insert(values.begin(), value);
        } else if (op == 7) {
            list.RemoveAll();
            places.clear();
            values.clear();
        } else if (op == 8) {
            CObList other;
            other.AddTail(value);
            other.AddTail(pick());
            list.AddTail(&other);
            POSITION last = list.GetTailPosition();
            POSITION beforeLast = last;
            list.GetPrev(beforeLast);
            places.push_back(beforeLast);
            places.push_back(last);
            values.push_back(static_cast<CItem*>(other.GetHead()));
            values.push_back(static_cast<CItem*>(other.GetTail()));
        } else {
            places.push_back(list.AddTail(value));
            values.push_back(value);
        }
        if (random() % 3 != 0)
            ExpectLookupsAgree(list, places, values, pool, random);
        if (HasFatalFailure())
            FAIL() << "at step " << step << ", operation " << op;
    }
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
