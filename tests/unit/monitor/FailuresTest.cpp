// Simulated failures of a worn aircraft: who may fail, when a failure
// strikes, and what the pilot, the event log and the report see.
#include "monitor/failures/Failures.h"

#include "monitor/blackbox/Blackbox.h"
#include "monitor/failures/EngineFailure.h"
#include "monitor/failures/GearFailure.h"
#include "monitor/failures/RandomSource.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// Hands out the given integers, then the fallback.
class FixedRandom final : public Failures::CRandomSource {
public:
    explicit FixedRandom(std::deque<int> values, int fallback = 0) : values(std::move(values)), fallback(fallback) {}
    int nextInt() override
    {
        if (values.empty())
            return fallback;
        const int v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<int> values;
    int fallback;
};

class FailuresTest : public ::testing::Test {
protected:
    FlightFixture fx;
    CClientInterface& booking = fx.ui->getClient();

    Failures::CGearFailure gear(float condition)
    {
        return Failures::CGearFailure(*fx.sim, fx.ui->getBlackbox(), fx.ui->getReport(), condition);
    }
};

struct ScheduleCase {
    float condition;
    int drawHundredths; // the draw times 100
    bool schedules;
};

class FailureSchedule : public FailuresTest, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(FailureSchedule, WornPartsFailMoreOften)
{
    const ScheduleCase c = GetParam();
    Failures::CGearFailure failure = gear(c.condition);
    FixedRandom random({50});
    EXPECT_EQ(failure.schedule(static_cast<float>(c.drawHundredths) / 100.0f, random), c.schedules);
    // b = 0.5: a quarter of twelve hours.
    EXPECT_EQ(failure.lFailureTime, c.schedules ? 10800 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, FailureSchedule,
                         ::testing::Values(ScheduleCase{100.0f, 0, false}, ScheduleCase{98.0f, 0, false},
                                           ScheduleCase{0.0f, 0, false}, ScheduleCase{97.9f, 0, true},
                                           ScheduleCase{97.9f, 4, true}, ScheduleCase{97.9f, 5, false},
                                           ScheduleCase{50.0f, 2499, true}, ScheduleCase{50.0f, 2500, false},
                                           ScheduleCase{90.0f, 99, true}, ScheduleCase{90.0f, 101, false}));

TEST_F(FailuresTest, StrikesOnlyAfterItsSecondHasPassed)
{
    Failures::CGearFailure failure = gear(50.0f);
    failure.lFailureTime = 600;
    failure.update(600);
    EXPECT_FALSE(failure.bFailed);
    EXPECT_TRUE(fx.sim->texts.empty());
    failure.update(601);
    EXPECT_TRUE(failure.bFailed);
    // The handle is forced on every later update, never at the strike itself.
    EXPECT_TRUE(fx.sim->appliedFailures.empty());
    failure.update(602);
    failure.update(603);
    EXPECT_EQ(fx.sim->appliedFailures, (std::vector<int>{6, 6}));
    // An already scheduled failure is not drawn again.
    FixedRandom random({});
    EXPECT_FALSE(failure.schedule(0.0f, random));
}

struct EngineCountCase {
    int engines;
    int engineFailures;
};

class EngineCount : public FailuresTest, public ::testing::WithParamInterface<EngineCountCase> {};

TEST_P(EngineCount, OneEngineFailurePerEngineUpToFour)
{
    booking.types.d_Engines = GetParam().engines;
    Failures::CFailureList list;
    FixedRandom random({});
    Failures::createFailures(*fx.sim, fx.ui->getBlackbox(), fx.ui->getReport(), booking, list, random);
    ASSERT_EQ(list.size(), static_cast<std::size_t>(GetParam().engineFailures + 2));
    for (int i = 0; i < GetParam().engineFailures; ++i) {
        auto* engine = dynamic_cast<Failures::CEngineFailure*>(list[static_cast<std::size_t>(i)].get());
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(engine->getNumber(), i + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EngineCount,
                         ::testing::Values(EngineCountCase{0, 0}, EngineCountCase{1, 1}, EngineCountCase{4, 4},
                                           EngineCountCase{6, 4}));

struct StrikeCase {
    const char* name;
    int kind; // 0 engine 1 of a one-engine type, 1 gear, 2 flaps
    const char* eventText;
    int reportItem;
    const char* shownText; // what the pilot reads in the simulator
    int forcedKind;        // applyFailure kind kept up afterwards, -1 none
};

class FailureStrike : public FailuresTest, public ::testing::WithParamInterface<StrikeCase> {};

TEST_P(FailureStrike, StrikeIsShownLoggedAndReported)
{
    const StrikeCase c = GetParam();
    // Only the part under test is worn; every integer drawn is 10: draw 0.10, moment b = 0.1 (432 s).
    booking.types.d_Engines = 1;
    booking.aircraft.a_StateEng1 = c.kind == 0 ? 50.0f : 100.0f;
    booking.aircraft.a_StateGear = c.kind == 1 ? 50.0f : 100.0f;
    booking.aircraft.a_StateHull = c.kind == 2 ? 50.0f : 100.0f;
    fx.ui->setRandomSource(std::make_unique<FixedRandom>(std::deque<int>{}, 10));
    fx.startFlying();
    fx.sim->dFlightTime = 1000.0;
    fx.sim->lFlightTimeAtStart = 900;
    fx.ui->updateFailures(432);
    EXPECT_FALSE(fx.ui->getReport().hasPenalty(c.reportItem));
    fx.ui->updateFailures(433);
    fx.ui->updateFailures(434);

    EXPECT_TRUE(fx.ui->getReport().hasPenalty(c.reportItem));
    std::vector<std::string> logged;
    for (const CEventRecord& r : fx.ui->getBlackbox().getEventLog())
        logged.push_back(r.text);
    EXPECT_NE(std::find(logged.begin(), logged.end(), std::string(c.eventText)), logged.end());
    EXPECT_EQ(fx.sim->texts, std::vector<std::string>{c.shownText});
    EXPECT_EQ(fx.sim->failedEngines, c.kind == 0 ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(fx.sim->appliedFailures, c.forcedKind < 0 ? std::vector<int>{} : std::vector<int>{c.forcedKind});
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailureStrike,
    ::testing::Values(StrikeCase{"Engine", 0, "Failure: Engine Failure!", ItemEngineFailure, "Engine failure", -1},
                      StrikeCase{"Gear", 1, "Failure: Gear stuck!", ItemGearFailure, "Failure: Gear stuck!", 6},
                      StrikeCase{"Flaps", 2, "Failure: Flaps stuck!", ItemFlapsFailure, "Failure: Flaps stuck!", 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FailuresTest, DriverCountsTheSecondsFromDeparture)
{
    booking.aircraft.a_StateGear = 50.0f;
    fx.ui->setRandomSource(std::make_unique<FixedRandom>(std::deque<int>{}, 10)); // strikes 432 s after departure
    // seconds, ground speed, IAS, vertical speed, on ground, parking brake, gear down, burn kg/h
    fx.sim->legs = {{900, 0, 0, 0, true, true, true, 0}, {900, 15, 15, 0, true, false, true, 300}};
    fx.startFlying();
    fx.tickFor(850 * 1000);
    EXPECT_FALSE(fx.ui->getReport().hasPenalty(ItemGearFailure)) << "still on the stand";
    ASSERT_TRUE(fx.tickUntil([&] { return fx.ui->getReport().hasPenalty(ItemGearFailure); }, 900 * 1000));
    const double sinceDeparture = fx.sim->dFlightTime - booking.report.departSeconds;
    EXPECT_GT(sinceDeparture, 432.0);
    EXPECT_LT(sinceDeparture, 434.0);
}

TEST_F(FailuresTest, NewFlightDropsTheLastFlightsFailures)
{
    booking.aircraft.a_StateGear = 50.0f;
    fx.ui->setRandomSource(std::make_unique<FixedRandom>(std::deque<int>{}, 10));
    fx.startFlying();
    fx.ui->updateFailures(500);
    ASSERT_TRUE(fx.ui->getReport().hasPenalty(ItemGearFailure));
    // The next flight draws no failure (draw 90.00): nothing keeps forcing the gear.
    fx.ui->setRandomSource(std::make_unique<FixedRandom>(std::deque<int>{}, 9000));
    fx.startFlying();
    const std::size_t forced = fx.sim->appliedFailures.size();
    fx.ui->updateFailures(5000);
    EXPECT_EQ(fx.sim->appliedFailures.size(), forced);
    EXPECT_EQ(fx.ui->getFailures().size(), 4u);
}

} // namespace
