#include "compressed_rtf.h"

#include <gtest/gtest.h>

#include "tnef_builder.h"

namespace parcelo::testing {
namespace {

std::string header(uint32_t compSize, uint32_t rawSize, uint32_t type) {
    return le32(compSize) + le32(rawSize) + le32(type) + le32(0);
}

TEST(DecompressRtf, RoundTripsWhatTheCompressorWrote) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
        "\\pard\\plain\\f0\\fs20 Hello, world\\par\r\n\\par \\pard\\plain\\b bold\\b0\\par}";
    EXPECT_EQ(DecompressRtf(compressRtf(rtf)), rtf);
    // An empty body compresses to 19 bytes, below the smallest value there can be.
    EXPECT_FALSE(DecompressRtf(compressRtf("")));
    const std::string long_(5000, 'a');
    EXPECT_EQ(DecompressRtf(compressRtf(long_)), long_);
}

TEST(DecompressRtf, TheDictionaryHoldsCarriageReturnThenLineFeed) {
    // A reference to offset 168, length 4, of the initial dictionary, then the end marker
    // (a reference to the write position, 207 + 4).
    const std::string compressed = std::string("\x03\x0A\x82\x0D\x30", 5);
    const std::string value =
        header(static_cast<uint32_t>(compressed.size() + 12), 4, 0x75465A4C) + compressed;
    EXPECT_EQ(DecompressRtf(value), "\r\n\\p");
}

TEST(DecompressRtf, ReadsTheUncompressedForm) {
    EXPECT_EQ(DecompressRtf(uncompressedRtf("{\\rtf1 plain}")), "{\\rtf1 plain}");
}

TEST(DecompressRtf, GivesExactlyTheDeclaredSize) {
    // Data that ends early is padded with NUL; data beyond the size is cut.
    std::string value = compressRtf("abc");
    value.replace(4, 4, le32(6));
    EXPECT_EQ(DecompressRtf(value), std::string("abc\0\0\0", 6));
    value.replace(4, 4, le32(2));
    EXPECT_EQ(DecompressRtf(value), "ab");
    // The same holds for the uncompressed form, whose data cannot grow.
    std::string plain = uncompressedRtf("{\\rtf1 x}");
    plain.replace(4, 4, le32(12));
    EXPECT_EQ(DecompressRtf(plain), std::string("{\\rtf1 x}\0\0\0", 12));
    plain.replace(4, 4, le32(3));
    EXPECT_EQ(DecompressRtf(plain), "{\\r");
}

TEST(DecompressRtf, RefusesDamagedValues) {
    const std::string good = compressRtf("{\\rtf1 x}");
    EXPECT_FALSE(DecompressRtf(good.substr(0, 19)));                            // too short
    EXPECT_FALSE(DecompressRtf(good + "x"));                                    // size mismatch
    EXPECT_FALSE(DecompressRtf(header(16, 4, 0x12345678) + "abcd"));            // unknown kind
    EXPECT_FALSE(DecompressRtf(header(16, 0x80000000u, 0x75465A4C) + "abcd"));  // forged size
    EXPECT_FALSE(DecompressRtf(header(16, 0xFFFFFFFFu, 0x414C454D) + "abcd"));
}

}  // namespace
}  // namespace parcelo::testing
