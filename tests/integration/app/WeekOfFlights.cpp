// The week of flights' shared pieces: sessions, bookings, the store's checks.
#include "WeekOfFlights.h"

#include "support/DemoFlightReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace Week {

namespace {
using Fields = std::multimap<std::string, std::string>;
} // namespace

std::string field(const Fields& fields, const std::string& name)
{
    auto it = fields.find(name);
    return it == fields.end() ? "(missing)" : it->second;
}

Flights::Flights(std::optional<WineClient> wineClient) : wine(std::move(wineClient))
{
    demo.start(wine ? "X-Plane" : "FSUIPC");
    pilotFolder = demo.folder.parent_path();
    if (!wine)
        return;
    // By name: Wine's certificate check matches host names, not addresses.
    std::ofstream(demo.folder / "quenvale.ini")
        << DemoFlightReport::clientSettings("https://localhost:" + std::to_string(demo.service.port()),
                                            clientPath(demo.service.caFile()), "X-Plane")
        << "[xplane]\nHost = 127.0.0.1\nPort = " << wine->xplanePort << "\n";
}

std::string Flights::clientPath(const fs::path& path) const
{
    return wine ? "Z:" + path.string() : path.string();
}

std::string Flights::script(const std::string& text)
{
    const fs::path path = pilotFolder / ("week" + std::to_string(++session) + ".pilot");
    std::ofstream(path) << text;
    return path.string();
}

std::unique_ptr<ClientProgram> Flights::client(const std::string& text)
{
    std::vector<std::string> arguments{"--headless", "--data-dir", clientPath(demo.folder), "--pilot",
                                       clientPath(script(text))};
    if (!wine)
        return std::make_unique<ClientProgram>(ClientProgram::programPath(QVL_BINARY_DIR), arguments);
    arguments.insert(arguments.begin(), wine->program);
    return std::make_unique<ClientProgram>(wine->wine, arguments);
}

// The demo scenario afresh at the stand (the aircraft of the last flight
// stands in Munich), held there while the pilot gets through the last
// report's pages, logs in and fuels up: longer for the program under Wine,
// which starts slower.
bool Flights::startSimulator(int timeScale)
{
    sim.reset();
    const int holdSeconds = wine ? 45 : 30;
    const std::string scenario = DemoFlight::heldScenario(pilotFolder, "airline_eddf_eddm", holdSeconds * timeScale);
    std::vector<std::string> arguments{"run", scenario, "--time-scale", std::to_string(timeScale),
                                       "--dir", demo.fsuipc.path()};
    if (wine)
        arguments.insert(arguments.end(), {"--xplane-port", std::to_string(wine->xplanePort)});
    sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR), arguments);
    return sim->start();
}

bool Flights::book(int flight)
{
    CServiceStore& s = demo.store;
    if (flight == 1)
        return true;
    const std::string id = std::to_string(kFirstLog + flight - 1);
    return s.exec("DROP TABLE IF EXISTS temp.next_log") &&
           s.exec("CREATE TEMP TABLE next_log AS SELECT * FROM flight_logs WHERE l_ID = ?",
                  {std::to_string(kFirstLog)}) &&
           s.exec("UPDATE temp.next_log SET l_ID = ?, l_Status = 'booked', booked = 1", {id}) &&
           s.exec("UPDATE flight_logs SET booked = 0") && s.exec("INSERT INTO flight_logs SELECT * FROM temp.next_log") &&
           s.exec("UPDATE aircraft SET a_Location = 'EDDF' WHERE a_ID = 501");
}

std::string Flights::setting(const std::string& key)
{
    const std::string text = DemoFlight::readFile((demo.folder / "quenvale.ini").string());
    const std::size_t at = text.find("\n" + key + " = ");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 4;
    return text.substr(start, text.find('\n', start) - start);
}

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

void flyFirstThree(Flights& week, int timeScale, const std::string& afterFlight3, std::unique_ptr<ClientProgram>& client)
{
    ServiceProcess& service = week.demo.service;
    CServiceStore& store = week.demo.store;
    const fs::path& folder = week.demo.folder;

    // Flights 1 and 2 in one session; after flight 2's report the service
    // stores the logs but its answers are lost.
    ASSERT_TRUE(week.prepare(1, timeScale));
    client = week.client(std::string(kLogin) + kFly + kEnd + kReportPages + kFly + kEnd + kReportPagesLogsPending);
    ASSERT_TRUE(client->start());
    ASSERT_TRUE(waitReading(
        *client, [&] { return week.reports() == 1; }, kFlightMs))
        << client->output() << debugLines(folder);
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 1; }, 60000));
    expectWeekSoFar(store, 1, 1);
    ASSERT_TRUE(week.prepare(2, timeScale));
    ASSERT_TRUE(client->waitForOutput("page 15 (comment)", kFlightMs, client->output().size()))
        << client->output() << debugLines(folder);
    ASSERT_TRUE(service.setFault("lost", 0, "writepositionlog,writeeventlog,updateawards"));
    ASSERT_EQ(client->finish(kFlightMs), 0) << client->output() << debugLines(folder);
    expectWeekSoFar(store, 2, 1);
    EXPECT_NE(client->output().find("wait for the next login"), std::string::npos)
        << client->output() << debugLines(folder);

    // A restart: flight 2's logs at the login, then flight 3.
    ASSERT_TRUE(service.setFault("none"));
    ASSERT_TRUE(week.prepare(3, timeScale));
    client = week.client(std::string(kLogin) + kFly + kEnd + kReportPages + afterFlight3);
    ASSERT_TRUE(client->start());
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 2; }, 120000))
        << client->output() << debugLines(folder);
    expectWeekSoFar(store, 2, 2);
    ASSERT_TRUE(waitReading(
        *client, [&] { return store.uploads("updateawards").size() == 3; }, kFlightMs))
        << client->output() << debugLines(folder);
    expectWeekSoFar(store, 3, 3);
}

} // namespace Week
