#include "platform/lru_cache.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(LruCacheTest, LetsGoOfWhatWasUsedLongestAgoToKeepItsBounds) {
    kel::LruCache<int, std::string> cache(3, 100);
    cache.Insert(1, "one", 10);
    cache.Insert(2, "two", 10);
    cache.Insert(3, "three", 10);
    ASSERT_NE(cache.Find(1), nullptr); // 1 is now the most recently used
    cache.Insert(4, "four", 10);       // one too many: 2 goes
    EXPECT_EQ(cache.Find(2), nullptr);
    EXPECT_EQ(*cache.Find(1), "one");
    EXPECT_EQ(cache.Size(), 3u);

    // Replacing a value changes its cost, not the number kept.
    cache.Insert(3, "THREE", 50);
    EXPECT_EQ(*cache.Find(3), "THREE");
    EXPECT_EQ(cache.Size(), 3u);
    EXPECT_EQ(cache.Cost(), 70u);

    // Over the cost bound, the oldest go until it holds (4, then 1).
    cache.Insert(5, "five", 45);
    EXPECT_EQ(cache.Find(4), nullptr);
    EXPECT_EQ(cache.Find(1), nullptr);
    EXPECT_EQ(cache.Cost(), 95u);

    // One value dearer than the whole bound is kept alone.
    cache.Insert(6, "six", 500);
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(*cache.Find(6), "six");

    cache.Erase(6);
    cache.Erase(7);
    EXPECT_EQ(cache.Size(), 0u);
    EXPECT_EQ(cache.Cost(), 0u);
}

} // namespace
