#include "base/ZeroedBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>

namespace {

bool AllZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

} // namespace

TEST(ZeroedBytesTest, StartsAllZeroWhateverItsSize) {
    // Sizes below and above the point where the system hands out fresh pages.
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4096},
                                   std::size_t{0x80010}, std::size_t{8} << 20}) {
        const ZeroedBytes bytes(size);
        EXPECT_EQ(bytes.size(), size);
        EXPECT_TRUE(AllZero(bytes)) << size;
    }
}

TEST(ZeroedBytesTest, CopiesAreDeepAndIndependent) {
    ZeroedBytes original(0x80010);
    original[0] = 1;
    original[0x80010 - 1] = 2;

    ZeroedBytes copy = original;
    ZeroedBytes assigned(3);
    assigned = original;
    for (ZeroedBytes* other : {&copy, &assigned}) {
        ASSERT_EQ(other->size(), original.size());
        EXPECT_NE(other->data(), original.data());
        EXPECT_TRUE(std::equal(other->begin(), other->end(), original.begin()));
        (*other)[0] = 9;
    }
    EXPECT_EQ(original[0], 1) << "a write to a copy reached the original";
    original[0x80010 - 1] = 7;
    EXPECT_EQ(copy[0x80010 - 1], 2);
    EXPECT_EQ(assigned[0x80010 - 1], 2);

    const ZeroedBytes& self = copy;
    copy = self;
    EXPECT_EQ(copy.size(), 0x80010u);
    EXPECT_EQ(copy[0], 9);
}

// What a move leaves behind is an empty buffer that can still be copied and assigned to.
TEST(ZeroedBytesTest, AMovedFromBufferIsEmpty) {
    ZeroedBytes from(64);
    from[5] = 5;
    ZeroedBytes moved = std::move(from);
    EXPECT_EQ(moved.size(), 64u);
    EXPECT_EQ(moved[5], 5);
    EXPECT_EQ(from.size(), 0u);
    const ZeroedBytes copyOfEmpty = from;
    EXPECT_EQ(copyOfEmpty.size(), 0u);

    ZeroedBytes target(8);
    target = std::move(moved);
    EXPECT_EQ(target.size(), 64u);
    EXPECT_EQ(moved.size(), 0u);
    moved = target;
    ASSERT_EQ(moved.size(), 64u);
    EXPECT_EQ(moved[5], 5);
}
