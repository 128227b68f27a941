// A week of flights: the client program flies five demo flights in a row
// against one data folder, headless with a scripted pilot, with the service's
// faults between them: a clean flight; one whose logs the service stops
// answering after the report; one after a restart of the client (the logs of
// the last go at its login); one whose report meets a lost service (backed
// up, uploaded at the next login); and one killed in flight and continued.
// After each flight the service's store must hold one report per flight log,
// with its take-off and landing, every position and event attributed to its
// own report, nothing twice, and the awards call after its logs.
#include "WeekOfFlights.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace Week;
using Fields = std::multimap<std::string, std::string>;

// The upload failed and the login after it too: the pilot logs in again once
// the service is back and uploads from the backup page.
const char* const kUploadFromBackup = "wait page 0 120\nsleep 5\npress 3\nwait page 12 60\npress 22\nwait page 1 120\n";
// After the kill: the aborted flight is continued.
const char* const kContinue = "wait page 0 30\npress 3\nwait page 17 120\npress 31\nwait page 5 60\n";

TEST(ClientProgramWeek, FiveFlightsWithTheServiceFaultsBetweenThem)
{
    Flights week;
    ServiceProcess& service = week.demo.service;
    CServiceStore& store = week.demo.store;

    // Flights 1 to 3; then 4, whose report meets a lost service (it comes
    // back for the pilot's next login), and 5, killed in flight.
    std::unique_ptr<ClientProgram> client;
    ASSERT_NO_FATAL_FAILURE(flyFirstThree(week, 40, std::string(kFly) + kEnd + kUploadFromBackup + kFly +
                                                        "wait page 15 1800\n", client));
    ASSERT_TRUE(week.prepare(4, 40));
    const std::size_t flight4 = client->output().size();
    ASSERT_TRUE(client->waitForOutput("page 15 (comment)", kFlightMs, flight4))
        << client->output() << debugLines(week.demo.folder);
    ASSERT_TRUE(service.setFault("refuse"));
    ASSERT_TRUE(client->waitForOutput("Unable to upload Report!", 60000, flight4))
        << client->output() << debugLines(week.demo.folder);
    EXPECT_EQ(week.reports(), 3u);
    // Back only once the login after the upload has failed too, as the pilot expects.
    ASSERT_TRUE(client->waitForOutput("message box [Connection failed!]", 60000, flight4))
        << client->output() << debugLines(week.demo.folder);
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
        for (const Fields& r : reports) {
            line += '\t';
            line += field(r, name);
        }
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
