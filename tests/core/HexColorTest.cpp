#include "core/HexColor.h"
#include "core/InvalidColorValue.h"

#include <gtest/gtest.h>

namespace {

// QColor keeps 16 bits per channel and answers in single precision.
constexpr double Tolerance = 1e-6;

void expectColor(const QColor& color, int red, int green, int blue, int alpha)
{
    EXPECT_NEAR(color.redF(), red / 255.0, Tolerance);
    EXPECT_NEAR(color.greenF(), green / 255.0, Tolerance);
    EXPECT_NEAR(color.blueF(), blue / 255.0, Tolerance);
    EXPECT_NEAR(color.alphaF(), alpha / 255.0, Tolerance);
}

QString reasonFor(const QString& value)
{
    try {
        HexColor::colorWithHexString(value);
    } catch (const InvalidColorValue& error) {
        EXPECT_EQ(error.name(), QStringLiteral("Invalid color value"));
        EXPECT_EQ(QString::fromUtf8(error.what()), error.reason());
        return error.reason();
    }
    ADD_FAILURE() << "no exception for " << value.toStdString();
    return {};
}

} // namespace

TEST(HexColorTest, accentReadsTheSameInAnyCaseAndWithNumberSign)
{
    for (const QString& text : {QStringLiteral("60C1C3"), QStringLiteral("60c1c3"), QStringLiteral("#60C1C3")})
        expectColor(HexColor::colorWithHexString(text), 96, 193, 195, 255);
    EXPECT_EQ(HexColor::accentColor(), HexColor::colorWithHexString(QStringLiteral("60C1C3")));
}

TEST(HexColorTest, shortFormsRepeatEachDigitAndPutAlphaFirst)
{
    expectColor(HexColor::colorWithHexString(QStringLiteral("F80")), 255, 136, 0, 255);
    expectColor(HexColor::colorWithHexString(QStringLiteral("8F80")), 255, 136, 0, 136);
    expectColor(HexColor::colorWithHexString(QStringLiteral("#80FF8800")), 255, 136, 0, 128);
}

TEST(HexColorTest, everyNumberSignIsRemovedNotOnlyTheLeadingOne)
{
    expectColor(HexColor::colorWithHexString(QStringLiteral("##FFF")), 255, 255, 255, 255);
    expectColor(HexColor::colorWithHexString(QStringLiteral("F#F#F")), 255, 255, 255, 255);
}

TEST(HexColorTest, everyUnsupportedLengthRaisesWithTheTextAsPassed)
{
    for (const QString& value :
         {QString(), QStringLiteral("#"), QStringLiteral("F"), QStringLiteral("FF"), QStringLiteral("#FFFFF"),
          QStringLiteral("FFFFFFF"), QStringLiteral("FFFFFFFFF"), QStringLiteral("##FF")}) {
        EXPECT_EQ(reasonFor(value), QStringLiteral("Color value %1 is invalid.  It should be a hex value of the form "
                                                   "#RBG, #ARGB, #RRGGBB, or #AARRGGBB")
                                        .arg(value));
        EXPECT_FALSE(HexColor::colorFromHexString(value).has_value());
    }
}

TEST(HexColorTest, nonHexadecimalDigitsAreNoColourRatherThanAGuess)
{
    // "1G0" would otherwise scan "1" as a partial number and give a colour nobody wrote.
    EXPECT_FALSE(HexColor::colorFromHexString(QStringLiteral("1G0")).has_value());
    EXPECT_FALSE(HexColor::colorFromHexString(QStringLiteral(" FFFFFF")).has_value());
    EXPECT_THROW(HexColor::colorWithHexString(QStringLiteral("GGGGGG")), InvalidColorValue);
}

TEST(HexColorTest, componentOfOneDigitCountsTwice)
{
    EXPECT_DOUBLE_EQ(HexColor::colorComponentFrom(QStringLiteral("F"), 0, 1), 1.0);
    EXPECT_DOUBLE_EQ(HexColor::colorComponentFrom(QStringLiteral("AB80"), 2, 2), 128 / 255.0);
    EXPECT_DOUBLE_EQ(HexColor::colorComponentFrom(QStringLiteral("ZZ"), 0, 2), 0.0);
}
