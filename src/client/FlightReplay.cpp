// CFlightReplay: the recorded records handed to the real flight objects in order.
#include "client/FlightReplay.h"

#include "client/Client.h"
#include "monitor/CheatDetector.h"
#include "recorder/ReplaySimulator.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "ui/ControlIds.h"
#include "ui/FlightActions.h"
#include "ui/RecordedStart.h"
#include "ui/UserInterface.h"

CFlightReplay::CFlightReplay(CUserInterface& userInterface, SetClock clock)
    : ui(userInterface), setClock(std::move(clock))
{
}

ReplayOutcome CFlightReplay::run(CRecordingReader& recording)
{
    using namespace Recording;
    ReplayOutcome out;
    setClock(recording.start().timeMs);
    CClient::resetProcessValues();
    CCheatDetector::resetProcessValues();
    auto bridge = std::make_unique<CReplaySimulator>(ui.getClient(), recording, setClock);
    CReplaySimulator& sim = *bridge;
    ui.setSimulator(std::move(bridge));
    ui.setRandomSource(std::make_unique<CReplayDraws>(sim));
    ui.ResetFlight();
    RecordedStart::restore(ui, recording.start());
    // The flight's closest-airport answers came from the airports it knew at
    // the end; the replay knows them from the start and asks no service.
    Entry scanned;
    while (recording.next(scanned)) {
        if (scanned.tag == TagAirports)
            RecordedStart::restoreAirports(ui.getClient(), scanned.airports);
    }
    recording.rewind();
    CClient client(ui);
    int states = 0;
    while (const Entry* e = sim.peek()) {
        switch (e->tag) {
        case TagState:
            sim.apply(*e);
            sim.advance();
            if (states++ == 0) {
                ui.startFlightMonitoring();
                ui.SetPage(PageFlying);
            }
            break;
        case TagCheck:
            setClock(e->timeMs);
            sim.advance();
            client.replayCheck();
            break;
        case TagRead:
            // A read outside the replayed steps (a position or tracker update).
            sim.apply(*e);
            sim.advance();
            break;
        case TagWrite:
            if (e->kind == WriteLandingLights) {
                setClock(e->timeMs);
                ui.OnButton(IdToggleLandingLights); // the pilot's keyboard switch
            } else {
                sim.advance();
            }
            break;
        case TagCommand:
            setClock(e->timeMs);
            sim.advance();
            // The comment page's own end is the finished report below.
            if (ui.getPage() != PageComment) {
                ui.setText(IdEditDivertAirport, e->text);
                ui.OnButton(static_cast<int>(e->result));
            }
            break;
        case TagReport: {
            // The report's own reads move the cursor on: keep what is needed.
            const auto recorded = e->report;
            setClock(e->timeMs);
            sim.advance();
            ui.setText(IdEditComment, e->text);
            ui.setCheck(IdCheckDeliverPackages, e->kind != 0);
            ui.getFlightActions().getFlightEnd().completeReport();
            out.reportFinished = true;
            out.recordedReport = recorded != nullptr;
            if (recorded)
                out.recorded = *recorded;
            break;
        }
        default:
            sim.advance();
            break;
        }
        if (out.reportFinished)
            break;
    }
    out.report = ui.getClient().report;
    for (int item = 0; item < ReportItemCount; ++item) {
        if (ui.getReport().hasPenalty(item))
            out.items.push_back(item);
    }
    out.divergences = sim.getDivergences();
    out.firstDivergence = sim.firstDivergence();
    out.writesMatched = sim.getWritesMatched();
    out.writesUnmatched = sim.getWritesUnmatched();
    return out;
}
