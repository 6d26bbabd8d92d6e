#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/texgen/ProgramIcon.h"

namespace {

unsigned read16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
unsigned read32(const std::vector<uint8_t>& b, size_t at) { return read16(b, at) | read16(b, at + 2) << 16; }

}  // namespace

TEST(ProgramIcon, AnIcoFileWhoseEntriesLeadToTheirBitmapsWithTheDiscOpaqueAndTheCornersClear) {
    const std::vector<Image> sizes = {paintProgramIcon(16), paintProgramIcon(48)};
    const std::vector<uint8_t> ico = encodeIco(sizes);
    ASSERT_GE(ico.size(), 6u + 2 * 16);
    EXPECT_EQ(read16(ico, 0), 0u);
    EXPECT_EQ(read16(ico, 2), 1u);  // an icon, not a cursor
    ASSERT_EQ(read16(ico, 4), 2u);
    size_t expectedOffset = 6 + 2 * 16;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const size_t entry = 6 + i * 16;
        const unsigned side = static_cast<unsigned>(sizes[i].width);
        EXPECT_EQ(ico[entry], side);
        EXPECT_EQ(ico[entry + 1], side);
        const unsigned bytes = read32(ico, entry + 8), offset = read32(ico, entry + 12);
        EXPECT_EQ(offset, expectedOffset);
        // The bitmap: its header, the colours (4 bytes a pixel) and a mask of whole 32-bit rows.
        EXPECT_EQ(bytes, 40 + side * side * 4 + (side + 31) / 32 * 4 * side);
        ASSERT_LE(offset + bytes, ico.size());
        EXPECT_EQ(read32(ico, offset), 40u);
        EXPECT_EQ(read32(ico, offset + 8), side * 2);  // the colours' and the mask's height
        EXPECT_EQ(read16(ico, offset + 14), 32u);
        // Bottom row first: the first pixel is the bottom left corner, outside the disc.
        const size_t pixels = offset + 40;
        EXPECT_EQ(ico[pixels + 3], 0);
        const size_t centre = pixels + ((side / 2) * side + side / 2) * 4;
        EXPECT_EQ(ico[centre + 3], 255);
        EXPECT_GT(ico[centre + 2], 200);  // red, stored after blue and green: the bright core
        expectedOffset += bytes;
    }
    EXPECT_EQ(expectedOffset, ico.size());
}
