// createFailures and updateFailures.
#include "monitor/failures/Failures.h"

#include "monitor/failures/EngineFailure.h"
#include "monitor/failures/FlapsFailure.h"
#include "monitor/failures/GearFailure.h"
#include "monitor/failures/RandomSource.h"
#include "server/ClientInterface.h"

#include <algorithm>

namespace Failures {

namespace {
constexpr int kMaxEngines = 4;
} // namespace

void createFailures(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report,
                    const CClientInterface& booking, CFailureList& list, CRandomSource& random)
{
    const int engines = std::clamp(booking.types.d_Engines, 0, kMaxEngines);
    const Tervix_Aircrafts& aircraft = booking.aircraft;
    for (int number = 1; number <= engines; ++number)
        list.push_back(std::make_unique<CEngineFailure>(simulator, blackbox, report, aircraft.a_StateEng1, number));
    list.push_back(std::make_unique<CGearFailure>(simulator, blackbox, report, aircraft.a_StateGear));
    list.push_back(std::make_unique<CFlapsFailure>(simulator, blackbox, report, aircraft.a_StateHull));
    for (const auto& failure : list) {
        const float draw = static_cast<float>(random.nextInt() % 9999) / 100.0f;
        failure->schedule(draw, random);
    }
}

void updateFailures(CFailureList& list, std::int32_t elapsed)
{
    for (const auto& failure : list)
        failure->update(elapsed);
}

} // namespace Failures
