// The 24 report items: texts and deductions, the penalties-disabled rule, and
// the event each item leaves in the flight's event log.
#include "monitor/blackbox/Blackbox.h"
#include "report/Report.h"
#include "support/FlightFixture.h"

#include <gtest/gtest.h>

namespace {

struct ItemCase {
    int item;
    const char* reason;
    const char* display;
    int rating;
    int reputation;
};

class ReportItemTest : public ::testing::TestWithParam<ItemCase> {
protected:
    FlightFixture f;
};

TEST_P(ReportItemTest, StoresItsTextAndDeductions)
{
    const ItemCase& c = GetParam();
    CReport& report = f.ui->getReport();
    EXPECT_TRUE(report.addPenalty(c.item));
    const struct_penalty& slot = report.getPenalty(c.item);
    EXPECT_EQ(slot.active, 1);
    EXPECT_STREQ(slot.text, c.reason);
    EXPECT_EQ(slot.ratingDeduction, c.rating);
    EXPECT_EQ(slot.reputationDeduction, c.reputation);
    EXPECT_TRUE(report.hasPenalty(c.item));
    ASSERT_FALSE(f.ui->getBlackbox().getEventLog().empty());
    EXPECT_STREQ(f.ui->getBlackbox().getEventLog().back().text, c.display);
    report.removePenalty(c.item);
    EXPECT_FALSE(report.hasPenalty(c.item));
    EXPECT_STREQ(report.getPenalty(c.item).text, "");
}

INSTANTIATE_TEST_SUITE_P(
    Items, ReportItemTest,
    ::testing::Values(ItemCase{0, "overspeed - taxi", "Penalty - overspeed taxi", 5, 0},
                      ItemCase{1, "wrong airport", "Penalty - wrong airport", 15, 5},
                      ItemCase{2, "crashed", "Penalty - crash", 50, 20},
                      ItemCase{4, "parking brakes", "Penalty - parking brakes not enabled", 5, 0},
                      ItemCase{9, "inflight refueling", "Penalty - refueling during flight", 0, 0},
                      ItemCase{12, "Low altitude", "Penalty - low altitiude", 5, 0},
                      ItemCase{14, "Penalties disabled", "Penalties disabled", 10, 0},
                      ItemCase{18, "Restored Flight", "Restored Flight", 0, 0},
                      ItemCase{19, "Very Hard Landing", "Penalty - very hard landing", 15, 5},
                      ItemCase{21, "Serious Ground Accident", "Penalty - serious ground accident", 15, 5},
                      ItemCase{23, "Water Landing", "Penalty - water landing", 50, 20}));

class SuppressionTest : public ::testing::TestWithParam<int> {
protected:
    FlightFixture f;
};

TEST_P(SuppressionTest, DisabledPenaltiesReadAsPresentButAreNotStored)
{
    const int item = GetParam();
    CReport& report = f.ui->getReport();
    report.addPenalty(ItemPenaltiesDisabled);
    const bool suppressible = CReport::isSuppressible(item);
    EXPECT_EQ(report.addPenalty(item), !suppressible);
    EXPECT_EQ(report.getPenalty(item).active, suppressible ? 0 : 1);
    EXPECT_TRUE(report.hasPenalty(item));
    report.removePenalty(ItemPenaltiesDisabled);
    EXPECT_EQ(report.hasPenalty(item), !suppressible);
}

INSTANTIATE_TEST_SUITE_P(Items, SuppressionTest, ::testing::Values(0, 3, 4, 7, 10, 11, 12, 13, 1, 2, 8, 15, 19, 23));

TEST(ReportItems, UnknownAndUnusedItemsAreRefused)
{
    FlightFixture f;
    CReport& report = f.ui->getReport();
    for (int item : {-1, 5, 6, 24, 1000}) {
        EXPECT_FALSE(report.addPenalty(item)) << item;
        EXPECT_FALSE(report.hasPenalty(item)) << item;
        report.removePenalty(item);
    }
    EXPECT_TRUE(f.logs.contains("Report item -1 does not exist")) << "the first; the file folds the others";
}

TEST(ReportItems, RefuellingLogsTheFuelFigures)
{
    FlightFixture f;
    f.sim->lFuelOnBoard = 3000;
    f.sim->getAircraftTanks(); // 6000 kg in the default tanks
    f.ui->getReport().addPenalty(ItemInflightRefueling);
    EXPECT_TRUE(f.logs.contains("Warn: [CReport] Inflight refueling recongnized: 3000 -> 6000"));
}

} // namespace
