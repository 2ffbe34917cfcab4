#include "safe_file_name.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

struct NameCase {
    const char* name;
    const char* expected;
};

class SafeFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeFileNameTest, KeepsTheNameInsideItsDirectory) {
    EXPECT_EQ(SafeFileName(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeFileNameTest,
    ::testing::Values(NameCase{"Hello World0.rtf", "Hello_World0.rtf"},
                      NameCase{"../../x", "_.._.._x"}, NameCase{"a\\b/c", "a_b_c"},
                      NameCase{"tab\there\r\n", "tab_here__"}, NameCase{"del\x7f", "del_"},
                      NameCase{"", "_"}, NameCase{".", "_"}, NameCase{"..", "_"},
                      NameCase{"...", "_..."}, NameCase{".vcf", "_.vcf"},
                      NameCase{".bashrc", "_.bashrc"}, NameCase{"..notes.txt", "_..notes.txt"},
                      NameCase{"(null)", "(null)"}, NameCase{"döcument.pdf", "döcument.pdf"}));

TEST(SafeFileName, ShortensLongNamesKeepingTheExtension) {
    const std::string stem(300, 'a');
    EXPECT_EQ(SafeFileName(stem + ".txt"), std::string(251, 'a') + ".txt");
    EXPECT_EQ(SafeFileName(stem), std::string(255, 'a'));
    // Never in the middle of a character: "é" is two bytes.
    std::string accented;
    for (int i = 0; i < 200; ++i)
        accented += "é";
    const std::string shortened = SafeFileName(accented + ".txt");
    EXPECT_EQ(shortened, accented.substr(0, 250) + ".txt");
    // An extension too long to keep is cut with the rest.
    EXPECT_EQ(SafeFileName("x." + stem), "x." + std::string(253, 'a'));
    // The "_" that keeps a name from being hidden counts in the 255 bytes.
    EXPECT_EQ(SafeFileName("." + stem), "_." + std::string(253, 'a'));
    EXPECT_EQ(SafeFileName("." + stem + ".txt"), "_." + std::string(249, 'a') + ".txt");
}

TEST(NumberedFileName, NumbersTheNameAsItWasBeforeItWasMadeVisible) {
    EXPECT_EQ(NumberedFileName("_.bashrc", 2), "_.bashrc_2");
    EXPECT_EQ(NumberedFileName("_.config.json", 2), "_.config_2.json");
    EXPECT_EQ(NumberedFileName("_..notes.txt", 3), "_..notes_3.txt");
    EXPECT_EQ(NumberedFileName("_x.txt", 2), "_x_2.txt");
    EXPECT_EQ(NumberedFileName("_." + std::string(253, 'a'), 2),
              "_." + std::string(251, 'a') + "_2");
}

}  // namespace
}  // namespace parcelo
