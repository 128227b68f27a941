// BackupGeneration: the numbered flight image.
#include "support/BackupGeneration.h"

#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"

#include <vector>

namespace {

std::string eventText(int n, int i)
{
    return "gen " + std::to_string(n) + " #" + std::to_string(i);
}

} // namespace

void BackupGeneration::fill(int n)
{
    copyText(client.flightLog.l_ID, std::to_string(n));
    sim.lGearChangeCount = n;
    std::vector<PositionRecord> queue(static_cast<std::size_t>(positions(n)));
    for (std::size_t i = 0; i < queue.size(); ++i) {
        queue[i].Timestamp = n;
        queue[i].PositionId = static_cast<std::int32_t>(i);
    }
    report.getPositionTracker().restore(queue, positions(n));
    blackbox.resetAll();
    for (int i = 0; i < events(n); ++i) {
        // Far enough apart in flight time that the throttle never holds one back.
        sim.dFlightTime += 61.0;
        blackbox.logEvent(eventText(n, i), "");
    }
}

int BackupGeneration::loaded() const
{
    return leadingInt(fieldText(client.flightLog.l_ID));
}

std::string BackupGeneration::mismatch(int n) const
{
    if (sim.lGearChangeCount != n)
        return "aircraft block of generation " + std::to_string(sim.lGearChangeCount);
    const auto& queue = report.getPositionTracker().getQueue();
    if (static_cast<int>(queue.size()) != positions(n))
        return std::to_string(queue.size()) + " queued positions";
    for (std::size_t i = 0; i < queue.size(); ++i) {
        if (queue[i].Timestamp != n || queue[i].PositionId != static_cast<std::int32_t>(i))
            return "position " + std::to_string(i) + " out of place";
    }
    const auto& log = blackbox.getEventLog();
    if (static_cast<int>(log.size()) != events(n))
        return std::to_string(log.size()) + " events";
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (fieldText(log[i].text) != eventText(n, static_cast<int>(i)))
            return "event " + std::to_string(i) + " reads " + fieldText(log[i].text);
    }
    return {};
}
