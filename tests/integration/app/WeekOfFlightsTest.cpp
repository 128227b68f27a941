// A week of flights: the client program flies five demo flights in a row
// against one data folder, headless with a scripted pilot, with the service's
// faults between them: a clean flight; one whose logs the service stops
// answering after the report; one after a restart of the client (the logs of
// the last go at its login); one whose report meets a lost service (backed
// up, uploaded at the next login); and one killed in flight and continued.
// After each flight the service's store must hold one report per flight log,
// with its take-off and landing, every position and event attributed to its
// own report, nothing twice, and the awards call after its logs.
#include "DemoFlightSetup.h"
#include "ServiceStore.h"
#include "support/ClientProgram.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Fields = std::multimap<std::string, std::string>;

constexpr int kFirstLog = 9001;
constexpr int kFlightMs = 900000;

std::string field(const Fields& fields, const std::string& name)
{
    auto it = fields.find(name);
    return it == fields.end() ? "(missing)" : it->second;
}

// The pilot's parts. Before each "Fly!" the pilot waits a little while the
// test books the flight and starts its simulator; on the comment page a
// little while the test switches the service's fault.
const char* const kLogin = "wait page 0 30\npress 3\nwait page 1 120\n";
const char* const kFly = "sleep 4\npress 8\nwait page 11 60\npress 15\nwait page 14 60\npress 8\nwait page 5 60\n";
const char* const kEnd = "wait page 15 1800\nsleep 2\ntype 116 Another day, another flight.\npress 9\n";
const char* const kReportPages = "wait page 7 120\npress 10\nwait page 8 30\npress 10\nwait page 1 150\n";
// Logs that wait for the next login lead its landing to the backup page.
const char* const kReportPagesLogsPending = "wait page 7 120\npress 10\nwait page 8 30\npress 10\nwait page 12 150\n";
// The upload failed and the login after it too: the pilot logs in again once
// the service is back and uploads from the backup page.
const char* const kUploadFromBackup = "wait page 0 120\nsleep 5\npress 3\nwait page 12 60\npress 22\nwait page 1 120\n";
// After the kill: the aborted flight is continued.
const char* const kContinue = "wait page 0 30\npress 3\nwait page 17 120\npress 31\nwait page 5 60\n";

class Week {
public:
    Week()
    {
        demo.start("FSUIPC");
        pilotFolder = demo.folder.parent_path();
    }

    DemoFlight::Setup demo;
    fs::path pilotFolder;
    std::unique_ptr<CSimProcess> sim;
    int session = 0;

    std::string script(const std::string& text)
    {
        const fs::path path = pilotFolder / ("week" + std::to_string(++session) + ".pilot");
        std::ofstream(path) << text;
        return path.string();
    }

    std::unique_ptr<ClientProgram> client(const std::string& text)
    {
        return std::make_unique<ClientProgram>(
            ClientProgram::programPath(QVL_BINARY_DIR),
            std::vector<std::string>{"--headless", "--data-dir", demo.folder.string(), "--pilot", script(text)});
    }

    // The demo scenario afresh at the stand (the aircraft of the last flight
    // stands in Munich), held there for half a minute while the pilot gets
    // through the last report's pages, logs in and fuels up.
    bool startSimulator(int timeScale)
    {
        sim.reset();
        const std::string scenario = DemoFlight::heldScenario(pilotFolder, "airline_eddf_eddm", 30 * timeScale);
        sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR),
                                            std::vector<std::string>{"run", scenario, "--time-scale",
                                                                     std::to_string(timeScale), "--dir",
                                                                     demo.fsuipc.path()});
        return sim->start();
    }

    // Flight `flight` (1-based) booked on the same route; the last one done.
    bool book(int flight)
    {
        CServiceStore& s = demo.store;
        if (flight == 1)
            return true;
        const std::string id = std::to_string(kFirstLog + flight - 1);
        return s.exec("DROP TABLE IF EXISTS temp.next_log") &&
               s.exec("CREATE TEMP TABLE next_log AS SELECT * FROM flight_logs WHERE l_ID = ?",
                      {std::to_string(kFirstLog)}) &&
               s.exec("UPDATE temp.next_log SET l_ID = ?, l_Status = 'booked', booked = 1", {id}) &&
               s.exec("UPDATE flight_logs SET booked = 0") &&
               s.exec("INSERT INTO flight_logs SELECT * FROM temp.next_log") &&
               s.exec("UPDATE aircraft SET a_Location = 'EDDF' WHERE a_ID = 501");
    }

    bool prepare(int flight, int timeScale) { return book(flight) && startSimulator(timeScale); }

    std::size_t reports() { return demo.store.uploads("writereport").size(); }

    // The backup's generation and flags in the client's settings file.
    long backupGeneration() { return std::atol(setting("Generation").c_str()); }
    bool continueOffered() { return setting("Continue") == "1"; }
    std::string setting(const std::string& key)
    {
        const std::string text = DemoFlight::readFile((demo.folder / "quenvale.ini").string());
        const std::size_t at = text.find("\n" + key + " = ");
        if (at == std::string::npos)
            return {};
        const std::size_t start = at + key.size() + 4;
        return text.substr(start, text.find('\n', start) - start);
    }
};

// The client's debug-log lines that say why a flight did not go as planned.
std::string debugLines(const fs::path& folder)
{
    std::string out = "\n-- debug log:\n";
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("quenvale_debug", 0) != 0)
            continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            for (const char* what : {"Could not", "Restore", "rror", "Warn", "Backup", "upload"}) {
                if (line.find(what) != std::string::npos) {
                    out += line + "\n";
                    break;
                }
            }
        }
    }
    return out;
}

// Waits for `done` while reading the client's output, so that it never
// blocks on a full pipe.
bool waitReading(ClientProgram& client, const std::function<bool()>& done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        const auto before = std::chrono::steady_clock::now();
        client.waitForOutput("\x01", 200, client.output().size());
        if (std::chrono::steady_clock::now() - before < std::chrono::milliseconds(50))
            std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the client has ended
    }
    return true;
}

// What the service holds after `flights` flights, of which the logs of
// `complete` went out in full (awards included).
void expectWeekSoFar(CServiceStore& store, std::size_t flights, std::size_t complete)
{
    const auto reports = store.uploads("writereport");
    ASSERT_EQ(reports.size(), flights);
    std::map<std::string, std::string> reportOfLog; // flight log -> the service's report id
    for (const auto& row : store.query("SELECT log_id, ReportId FROM reports").rows)
        reportOfLog[row[0]] = row[1];
    std::set<std::string> reportIds;
    for (std::size_t i = 0; i < flights; ++i) {
        const Fields& r = reports[i];
        const std::string log = std::to_string(kFirstLog + static_cast<int>(i));
        SCOPED_TRACE("flight " + std::to_string(i + 1));
        EXPECT_EQ(field(r, "LogID"), log) << "one report per flight log, in order";
        EXPECT_EQ(store.received("writereport").size(), flights) << "no report sent twice";
        EXPECT_EQ(field(r, "Dep"), "EDDF");
        EXPECT_EQ(field(r, "Arr"), "EDDM");
        EXPECT_GT(std::stoi(field(r, "Fuel_TakeOff")), 0) << "the take-off was seen";
        EXPECT_GT(std::stoi(field(r, "Fuel_Land")), 0) << "the landing was seen";
        // The scenario touches down at -180 ft/min; a poll spans seconds of it.
        const int touchdown = std::stoi(field(r, "VS"));
        EXPECT_LT(touchdown, 0);
        EXPECT_GT(touchdown, -625) << "no hard landing";
        ASSERT_EQ(reportOfLog.count(log), 1u);
        reportIds.insert(reportOfLog[log]);
    }

    std::set<std::pair<std::string, std::string>> positions;
    for (const Fields& p : store.uploads("writepositionlog")) {
        const std::string log = field(p, "LogId"), report = field(p, "ReportId");
        EXPECT_TRUE(report.empty() || reportOfLog[log] == report) << "position of log " << log << " in " << report;
        EXPECT_TRUE(positions.insert({log, field(p, "PositionId")}).second)
            << "position " << field(p, "PositionId") << " of log " << log << " twice";
    }
    std::set<std::pair<std::string, std::string>> events;
    std::map<std::string, int> eventsOfReport;
    for (const Fields& e : store.uploads("writeeventlog")) {
        const std::string report = field(e, "reportid");
        EXPECT_EQ(reportIds.count(report), 1u) << "event of no report of this week: " << report;
        EXPECT_TRUE(events.insert({report, field(e, "eventid")}).second) << "event sent twice";
        ++eventsOfReport[report];
    }
    EXPECT_EQ(store.uploads("updateawards").size(), complete);
    if (complete == flights) {
        for (const std::string& report : reportIds)
            EXPECT_GT(eventsOfReport[report], 0) << "the events of report " << report;
        const auto kinds = store.query("SELECT kind FROM uploads WHERE kind IN ('writereport', 'writepositionlog', "
                                       "'writeeventlog', 'updateawards') ORDER BY id DESC LIMIT 1");
        ASSERT_EQ(kinds.rows.size(), 1u);
        EXPECT_EQ(kinds.rows[0][0], "updateawards") << "the awards call last";
    }
}

TEST(ClientProgramWeek, FiveFlightsWithTheServiceFaultsBetweenThem)
{
    Week week;
    ServiceProcess& service = week.demo.service;
    CServiceStore& store = week.demo.store;

    // Flights 1 and 2 in one session; after flight 2's report the service
    // stores the logs but its answers are lost.
    ASSERT_TRUE(week.prepare(1, 40));
    auto client = week.client(std::string(kLogin) + kFly + kEnd + kReportPages + kFly + kEnd + kReportPagesLogsPending);
    ASSERT_TRUE(client->start());
    ASSERT_TRUE(waitReading(
        *client, [&] { return week.reports() == 1; }, kFlightMs))
        << client->output() << debugLines(week.demo.folder);
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 1; }, 60000));
    expectWeekSoFar(store, 1, 1);
    ASSERT_TRUE(week.prepare(2, 40));
    ASSERT_TRUE(client->waitForOutput("page 15 (comment)", kFlightMs, client->output().size()))
        << client->output() << debugLines(week.demo.folder);
    ASSERT_TRUE(service.setFault("lost", 0, "writepositionlog,writeeventlog,updateawards"));
    ASSERT_EQ(client->finish(kFlightMs), 0) << client->output() << debugLines(week.demo.folder);
    expectWeekSoFar(store, 2, 1);
    EXPECT_NE(client->output().find("wait for the next login"), std::string::npos)
        << client->output() << debugLines(week.demo.folder);

    // A restart: flight 2's logs at the login, then flights 3, 4 and 5. The
    // service is lost while flight 4's report goes up, and comes back for
    // the pilot's next login.
    ASSERT_TRUE(service.setFault("none"));
    ASSERT_TRUE(week.prepare(3, 40));
    client = week.client(std::string(kLogin) + kFly + kEnd + kReportPages + kFly + kEnd + kUploadFromBackup + kFly +
                         "wait page 15 1800\n");
    ASSERT_TRUE(client->start());
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 2; }, 120000))
        << client->output() << debugLines(week.demo.folder);
    expectWeekSoFar(store, 2, 2);
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 3; }, kFlightMs))
        << client->output() << debugLines(week.demo.folder);
    expectWeekSoFar(store, 3, 3);
    ASSERT_TRUE(week.prepare(4, 40));
    const std::size_t flight4 = client->output().size();
    ASSERT_TRUE(client->waitForOutput("page 15 (comment)", kFlightMs, flight4))
        << client->output() << debugLines(week.demo.folder);
    ASSERT_TRUE(service.setFault("refuse"));
    ASSERT_TRUE(client->waitForOutput("Unable to upload Report!", 60000, flight4))
        << client->output() << debugLines(week.demo.folder);
    EXPECT_EQ(week.reports(), 3u);
    ASSERT_TRUE(service.setFault("none"));
    ASSERT_TRUE(service.waitListening(5000));
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 4; }, 180000))
        << client->output() << debugLines(week.demo.folder);
    expectWeekSoFar(store, 4, 4);

    // Flight 5 slower; once airborne, the client is killed right after its
    // next autosave (every two minutes: in the climb, the cruise or the
    // descent) and the flight continued.
    ASSERT_TRUE(week.prepare(5, 10));
    const std::size_t from = client->output().size();
    const auto airborne = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    ASSERT_TRUE(waitReading(
        *client, [&] { return std::chrono::steady_clock::now() > airborne; }, 120000));
    const long before = week.backupGeneration();
    ASSERT_TRUE(waitReading(
        *client, [&] { return week.backupGeneration() > before && week.continueOffered(); }, 300000))
        << client->output() << debugLines(week.demo.folder);
    client->kill();
    client->finish(10000);
    EXPECT_EQ(client->output().find("page 15 (comment)", from), std::string::npos) << "killed in flight";
    client = week.client(std::string(kContinue) + kEnd + "wait page 7 120\n");
    ASSERT_EQ(client->run(kFlightMs), 0) << client->output() << debugLines(week.demo.folder);
    expectWeekSoFar(store, 5, 5);
    EXPECT_NE(client->output().find("page 17 (aborted flight)"), std::string::npos);

    // The money of each flight, for a look: flight 4 went up from its backup.
    const auto reports = store.uploads("writereport");
    for (const char* name : {"Profit", "ProfitMultiplied", "Salary", "Ticket", "Fuelprice", "Fuel_Bought", "Fuel_Used",
                             "landing_fee", "Bonus", "v_Reputation", "Rating", "Hours", "Distance"}) {
        std::string line = name;
        for (const Fields& r : reports)
            line += "\t" + field(r, name);
        std::cout << line << std::endl;
    }
    // Flight 4 went up from its backup after a restart: it carries what its
    // own flight's end evaluated, as flight 3 uploaded at once does.
    ASSERT_EQ(reports.size(), 5u);
    for (const char* name : {"v_Reputation", "landing_fee", "Crew", "Ticket", "Fuelprice", "Rating", "Hours", "Distance"})
        EXPECT_EQ(field(reports[3], name), field(reports[2], name)) << name;
    EXPECT_EQ(field(reports[3], "LogID"), std::to_string(kFirstLog + 3));
    EXPECT_EQ(field(reports[3], "ManualUpload"), "1");
    EXPECT_EQ(field(reports[2], "ManualUpload"), "0");
}

} // namespace
