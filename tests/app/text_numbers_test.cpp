#include "app/text_numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(TextNumbersTest, ReadsLeadingNumbersLikeADecimalConversion) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"710", 710},
        {"  42abc", 42},
        {"-7,", -7},
        {"+3", 3},
        {"abc", 0},
        {"", 0},
        {"N/A", 0},
        {"\t 12.9", 12},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingInt(QByteArrayView(c.text)), c.expected) << c.text;
    EXPECT_EQ(LeadingInt(QStringView(u"  755,")), 755);
}

TEST(TextNumbersTest, ReadsLeadingDecimalsInAnyLocale) {
    EXPECT_DOUBLE_EQ(LeadingDouble("12.5,"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingDouble("  29.97 fps"), 29.97);
    EXPECT_DOUBLE_EQ(LeadingDouble("90k"), 90.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("+1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingDouble("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(LeadingDouble("x"), 0.0);
}

TEST(TextNumbersTest, ReadsClockTextsToMilliseconds) {
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {
        {"01:02:05.04", 3725040},    {"00:00:01.5", 1050}, {"10:00", 36000000},
        {"123:00:00.00", 442800000}, {"N/A", 0},           {"00:01:02", 62000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockMilliseconds(c.text), c.expected) << c.text;
}

} // namespace
