#include "core/Metrics.h"
#include "core/Helpers.h"

#include <gtest/gtest.h>

TEST(MetricsTest, desktopShrinksAndRoundsHalvesAwayFromZero)
{
    ASSERT_TRUE(Metrics::isMacIdiom());
    EXPECT_EQ(Metrics::scaled(17), 13.0);
    EXPECT_EQ(Metrics::scaled(12), 9.0);
    EXPECT_EQ(Metrics::scaled(32), 25.0);
    EXPECT_EQ(Metrics::scaled(0), 0.0);
    EXPECT_EQ(Metrics::scaled(-17), -13.0);
    EXPECT_EQ(Helpers::scaledFloat(17), 13.0);
}

TEST(MetricsTest, halfPointBecomesOnePointOnEveryIdiom)
{
    // 0.5 × 0.77 would round to 0 and make hairlines vanish.
    EXPECT_EQ(Metrics::scaled(0.5), 1.0);
    EXPECT_EQ(Metrics::scaled(0.5, false), 1.0);
    EXPECT_EQ(Helpers::scaledFloat(0.5), 1.0);
}

TEST(MetricsTest, tabletIdiomKeepsSizes)
{
    EXPECT_EQ(Metrics::scaled(17, false), 17.0);
    EXPECT_EQ(Metrics::scaled(2.5, false), 3.0);
}
