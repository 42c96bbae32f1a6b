// The buffer's growth reports failure and leaves it whole; items with
// owners of their own move, not copy, and are ended once; text is cut at
// its bound and says so.
#include <gtest/gtest.h>

#include <cstdint>

#include "buffer.h"
#include "owned.h"
#include "fixed_text.h"

namespace {

TEST(Buffer, AGrowthBeyondMemoryFailsAndKeepsTheItems) {
    memory::Buffer<std::uint32_t> buffer;
    for (std::uint32_t i = 0; i < 100; ++i) ASSERT_TRUE(buffer.Append(i));
    EXPECT_FALSE(buffer.Reserve(SIZE_MAX / 2));
    EXPECT_FALSE(buffer.Resize(SIZE_MAX / 4));   // a byte count past what a size can hold
    ASSERT_EQ(buffer.size(), 100u);
    for (std::uint32_t i = 0; i < 100; ++i) EXPECT_EQ(buffer[i], i);
}

TEST(Buffer, OwnedItemsMoveAndAreFreedOnce) {
    int freed = 0;
    struct Tracked {
        int value;
        int* freed;
        Tracked(int v, int* f) : value(v), freed(f) {}
        ~Tracked() { ++*freed; }
    };
    using Item = memory::Owned<Tracked>;
    {
        memory::Buffer<Item> buffer;
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(buffer.Append(memory::New<Tracked>(i, &freed)));   // grows twice
        EXPECT_EQ(buffer.RemoveIf([](const Item& item) { return item->value % 2; }), 10u);
        buffer.RemoveAt(0);
        ASSERT_EQ(buffer.size(), 9u);
        for (std::size_t i = 0; i < buffer.size(); ++i) EXPECT_EQ(buffer[i]->value, 2 * int(i) + 2);
        EXPECT_EQ(freed, 11);
        memory::Buffer<Item> moved = std::move(buffer);
        EXPECT_TRUE(buffer.empty());
        EXPECT_EQ(moved.size(), 9u);
        EXPECT_EQ(freed, 11);
    }
    EXPECT_EQ(freed, 20);
}

TEST(Text, IsCutAtItsBoundAndSaysSo) {
    const struct {
        const char* first;
        const char* then;
        bool fits;
        const char* kept;
    } cases[] = {
        {"", "", true, ""},
        {"Tahoma", "", true, "Tahoma"},
        {"1234567", "", true, "1234567"},     // exactly the bound
        {"12345678", "", false, "1234567"},   // one past it
        {"1234", "567", true, "1234567"},
        {"1234", "5678", false, "1234567"},
    };
    for (const auto& c : cases) {
        memory::Text<8> text;
        const bool first = text.Assign(c.first);
        EXPECT_EQ(first && text.Append(c.then), c.fits) << c.first << c.then;
        EXPECT_EQ(text.view(), c.kept);
        EXPECT_EQ(text.c_str()[text.size()], '\0');
    }
}

}  // namespace
