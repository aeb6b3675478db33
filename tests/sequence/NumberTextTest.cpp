#include "sequence/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace kadenzo;

TEST(NumberText, LeadingNumber) {
    EXPECT_DOUBLE_EQ(leadingNumber("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("-1"), -1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1e2x"), 100.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1e"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("0x10"), 0.0);
}

namespace {

// Runs the number checks that must not depend on the C locale.
void checkNumbers() {
    struct Lenient {
        const char* text;
        float value;
    };
    const Lenient lenient[] = {
        {"30.8", 30.8f}, {"  2.06V", 2.06f},  {"12,5", 12.0f},   {"3.5.1", 3.5f}, {".", 0.0f},
        {"-", 0.0f},     {"\t-7.25", -7.25f}, {"1.5e1x", 15.0f}, {"", 0.0f},      {"x1", 0.0f},
    };
    for (const Lenient& c : lenient)
        EXPECT_EQ(leadingFloat(c.text), c.value) << "'" << c.text << "'";

    // Values read as single precision first, then formatted like printf.
    struct Format {
        const char* text;
        const char* f42;
        const char* f32;
    };
    const Format formats[] = {
        {"30.8", "30.80", "30.80"}, {"2.06", "2.06", "2.06"},   {"12.345", "12.35", "12.35"},
        {"0.004", "0.00", "0.00"},  {"-1", "-1.00", "-1.00"},   {"0", "0.00", "0.00"},
        {"0.005", "0.00", "0.00"},  {"5", "5.00", "5.00"},      {"1.234", "1.23", "1.23"},
        {"1.115", "1.12", "1.12"},  {"35.4", "35.40", "35.40"}, {"5.05", "5.05", "5.05"},
    };
    for (const Format& c : formats) {
        EXPECT_EQ(format42(leadingFloat(c.text)), c.f42) << c.text;
        EXPECT_EQ(format32(leadingFloat(c.text)), c.f32) << c.text;
    }
    // The same values read at double precision round the other way.
    EXPECT_EQ(format42(leadingNumber("0.005")), "0.01");
    EXPECT_EQ(format42(leadingNumber("1.115")), "1.11");
    EXPECT_EQ(formatFixed2(1.5, 8), "    1.50");

    // Limits compare in single precision: a value equal to the limit passes.
    EXPECT_FALSE(leadingFloat("30.80") > 30.8f);
    EXPECT_TRUE(leadingFloat("30.81") > 30.8f);
    EXPECT_FALSE(leadingFloat("2.06") > 2.06f);
    EXPECT_TRUE(leadingFloat("2.07") > 2.06f);
    EXPECT_FALSE(leadingFloat("0.01") < 0.01f);
    // At double precision the same comparison would reject the limit itself.
    EXPECT_TRUE(leadingNumber("30.80") > static_cast<double>(30.8f));

    EXPECT_DOUBLE_EQ(strToFloat("30.80"), 30.8);
    EXPECT_DOUBLE_EQ(strToFloat(" -1.5e1 "), -15.0);
    EXPECT_EQ(strToInt("-12"), -12);
}

} // namespace

TEST(NumberText, ReadsFormatsAndComparesInTheCLocale) {
    checkNumbers();
}

TEST(NumberText, StrictConversionsFailWithTheirMessages) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case floats[] = {
        {"", "'' is not a valid floating point value"},
        {"abc", "'abc' is not a valid floating point value"},
        {"12abc", "'12abc' is not a valid floating point value"},
        {"1.2.3", "'1.2.3' is not a valid floating point value"},
        {"30,8", "'30,8' is not a valid floating point value"},
        {".", "'.' is not a valid floating point value"},
        {"1e999", "'1e999' is not a valid floating point value"},
        {" ", "' ' is not a valid floating point value"},
    };
    for (const Case& c : floats) {
        try {
            strToFloat(c.text);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    const Case ints[] = {
        {"", "'' is not a valid integer value"},
        {"1.5", "'1.5' is not a valid integer value"},
        {"x", "'x' is not a valid integer value"},
        {"2147483648", "'2147483648' is not a valid integer value"},
    };
    for (const Case& c : ints) {
        try {
            strToInt(c.text);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const ConversionError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
}

// The same checks with a C locale whose decimal point is ",". Skipped when the
// machine has no such locale installed.
TEST(NumberText, ReadsFormatsAndComparesInADecimalCommaLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8",  "de_DE",       "fr_FR.UTF-8",
                           "fr_FR.utf8",  "nl_NL.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8"};
    const char* found = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            found = name;
            break;
        }
    }
    if (found == nullptr) {
        std::setlocale(LC_ALL, saved.c_str());
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    checkNumbers();
    std::setlocale(LC_ALL, saved.c_str());
}
