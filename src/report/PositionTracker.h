// The service's two views of a flight in progress: the live tracker (the
// flight log's position and phase) and the position log (numbered position
// records). Positions that cannot or should not go out at once are queued and
// sent after the report.
#pragma once

#include "core/DebugLog.h"
#include "server/Records.h"

#include <cstdint>
#include <vector>

class CFlightSimulatorInterface;
class CClientInterface;

class CPositionTracker {
public:
    explicit CPositionTracker(CClientInterface& client);
    ~CPositionTracker();

    void setSimulator(CFlightSimulatorInterface* simulator) { this->simulator = simulator; }
    void setEnabled(bool on) { enabled = on; }
    bool isEnabled() const { return enabled; }

    // Polls and, with the tracker on, sends the flight log's position and
    // phase. Answers whether there was something to report.
    bool sendTracker();
    // Numbers the current position and sends it, or queues it (tracker off,
    // low flying outside the take-off, or a failed send).
    bool recordPosition();
    // Sends the oldest queued position; it leaves the queue once the service
    // acknowledged it. False when nothing was queued or the send failed.
    bool sendFirstQueued();
    // The oldest queued position leaves the queue unsent (the service refused it).
    void dropFirstQueued();
    // Forgets the flight's positions here and on the service.
    void resetPositionLog();
    // Forgets the flight's positions here only.
    void clear();

    const std::vector<PositionRecord>& getQueue() const { return queue; }
    std::int32_t getPendingPositions() const { return pendingPositions; }
    // The current position (the one a report is sent with) from the
    // snapshot of a restored finished flight, where the flight ended.
    void restoreEndPosition();
    // Restores a saved queue (a continued flight).
    void restore(std::vector<PositionRecord> records, std::int32_t pending);
    // The queue in the report store: "numpositionlogs" and one
    // "positiondata<i>" per record. Loading replaces the queue; false when
    // the stored queue is incomplete (what was read is kept).
    bool savePositions();
    bool loadPositions();

    // The phase last sent to the live tracker (process-wide).
    static int lastTrackerPhase();
    static void resetProcessValues();

private:
    void fillPosition(PositionRecord& p);

    CClientInterface& client;
    CFlightSimulatorInterface* simulator = nullptr;
    bool enabled = false;
    std::vector<PositionRecord> queue;
    std::int32_t pendingPositions = 0;
    CDebugLog log;
};
