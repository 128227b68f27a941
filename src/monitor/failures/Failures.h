// The flight's failure list: armed at the flight start for the booked
// aircraft's worn parts, advanced by the driver once the aircraft departed.
#pragma once

#include "monitor/failures/FailureBase.h"

#include <cstdint>
#include <memory>
#include <vector>

class CClientInterface;

namespace Failures {

using CFailureList = std::vector<std::unique_ptr<CFailureBase>>;

// Appends the engine (one per booked engine, at most 4), gear and flaps
// failures and draws each one's fate.
void createFailures(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report,
                    const CClientInterface& booking, CFailureList& list, CRandomSource& random);
// elapsed: whole seconds since departure.
void updateFailures(CFailureList& list, std::int32_t elapsed);

} // namespace Failures
