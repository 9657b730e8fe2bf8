#include "platform/DateTime.h"
#include "platform/Regional.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(DateTime, SerialDaysCountFromTheLastDaysOf1899)
{
    struct Case { double serial; QDate date; QTime time; };
    const Case cases[] = {
        {0.0, {1899, 12, 30}, {0, 0}},
        {1.0, {1899, 12, 31}, {0, 0}},
        {2.0, {1900, 1, 1}, {0, 0}},
        {45293.0, {2024, 1, 2}, {0, 0}},
        {45293.75, {2024, 1, 2}, {18, 0}},
        {0.5, {1899, 12, 30}, {12, 0}},
        {-1.0, {1899, 12, 29}, {0, 0}},
        {-1.25, {1899, 12, 29}, {6, 0}},    // the fraction counts forward from midnight
        {-2.5, {1899, 12, 28}, {12, 0}},
    };
    for (const auto& c : cases) {
        const DateTime dt(c.serial);
        EXPECT_EQ(dt.date(), c.date) << c.serial;
        EXPECT_EQ(dt.time(), c.time) << c.serial;
        EXPECT_DOUBLE_EQ(DateTime::fromDate(c.date, c.time).serial(), c.serial) << c.serial;
    }
}

TEST(DateTime, ArithmeticMovesAlongTheTimeLine)
{
    const DateTime d = DateTime::fromDate({2024, 2, 28}, {23, 0});
    EXPECT_EQ(d.addDays(1).date(), QDate(2024, 2, 29));
    EXPECT_EQ(d.addSeconds(3600).toQDateTime(), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    // Across the origin: half a day before 30/12/1899 06:00 is 29/12/1899 18:00.
    const DateTime early = DateTime(0.25).addDays(-0.5);
    EXPECT_EQ(early.date(), QDate(1899, 12, 29));
    EXPECT_EQ(early.time(), QTime(18, 0));
    EXPECT_DOUBLE_EQ(early.serial(), -1.75);
    EXPECT_DOUBLE_EQ(DateTime::daysBetween(DateTime(-1.25), DateTime(0.25)), 1.0);
    EXPECT_LT(DateTime(-1.25), DateTime(-1.5));
    EXPECT_GT(DateTime(45293.5), DateTime(45293.25));
}

TEST(DateTime, RoundTripsThroughQDateTime)
{
    const QDateTime q(QDate(2023, 7, 14), QTime(9, 41, 7, 250));
    const DateTime d = DateTime::fromQDateTime(q);
    EXPECT_EQ(d.toQDateTime(), q);
    EXPECT_EQ(d.date(), QDate(2023, 7, 14));
}

TEST(DateTime, NowIsToTheWholeSecond)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const DateTime n = DateTime::now();
    EXPECT_EQ(n.time().msec(), 0);
    EXPECT_GE(n.toQDateTime(), before);
    EXPECT_LE(n.toQDateTime(), QDateTime::currentDateTime());
}

TEST(DateTimeFormat, NamedFormatsComeFromTheRegionalSettings)
{
    const DateTime d = DateTime::fromDate({2024, 3, 5}, {7, 8, 9});
    EXPECT_EQ(Format(d, "Short Date"), "05/03/2024");
    EXPECT_EQ(Format(d, "Long Time"), "07:08:09");
    EXPECT_EQ(Format(d, "General Date"), "05/03/2024 07:08:09");
    EXPECT_EQ(Format(d, "yyyyMMdd-HHmm"), "20240305-0708");
    EXPECT_EQ(formatShortDate(d).size(), 10);
    EXPECT_EQ(formatLongTime(d).size(), 8);

    Regional::setShortDateFormat("MM-dd-yy");
    Regional::setLongTimeFormat("H.mm");
    EXPECT_EQ(Format(d, "Short Date"), "03-05-24");
    EXPECT_EQ(Format(d, "Long Time"), "7.08");
}

TEST(DateTimeFormat, DefaultTextLeavesOutTheOriginDayAndMidnight)
{
    EXPECT_EQ(DateTime::fromDate({2024, 3, 5}).toText(), "05/03/2024");
    EXPECT_EQ(DateTime(0.75).toText(), "18:00:00");
    EXPECT_EQ(DateTime(0.0).toText(), "00:00:00");
    EXPECT_EQ(DateTime::fromDate({2024, 3, 5}, {0, 0, 1}).toText(), "05/03/2024 00:00:01");
}

TEST(DateTimeFormat, LongTimeRoundsToTheSecond)
{
    const DateTime d = DateTime::fromDate({2024, 3, 5}, QTime(7, 8, 9, 600));
    EXPECT_EQ(formatLongTime(d), "07:08:10");
}
