// DemoFlightReport: the demo flight's set-up and the report it must give.
#include "support/DemoFlightReport.h"

#include "server/Base64.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <fstream>
#include <sstream>

namespace DemoFlightReport {

namespace {

std::string field(const Fields& fields, const std::string& name)
{
    auto it = fields.find(name);
    return it == fields.end() ? "(missing)" : it->second;
}

std::string unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string writeScenario(const std::string& source, const std::string& target)
{
    std::ifstream in(source);
    std::stringstream read;
    read << in.rdbuf();
    std::string text = read.str();
    const std::size_t at = text.find("\"seconds\": 60");
    if (at != std::string::npos)
        text.replace(at, 13, "\"seconds\": 300");
    std::ofstream(target) << text;
    return target;
}

std::string clientSettings(const std::string& url, const std::string& caFile, const std::string& bridge)
{
    return "[login]\nUser = demo\nPassword = demo123\n"
           "[settings]\nTracker = 1\nSimpleFuel = 0\nEnableAutosave = 1\nFSInterface = " +
           bridge + "\n[server]\nUrl = " + url + "\nCAFile = " + caFile + "\n";
}

std::vector<Fields> readUploads(const std::string& logFile, const std::string& kind)
{
    std::vector<Fields> out;
    std::ifstream in(logFile);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || line.compare(0, tab, kind) != 0)
            continue;
        Fields fields;
        std::stringstream pairs(line.substr(tab + 1));
        std::string pair;
        while (std::getline(pairs, pair, '&')) {
            const std::size_t eq = pair.find('=');
            if (eq != std::string::npos)
                fields.emplace(pair.substr(0, eq), unescaped(pair.substr(eq + 1)));
        }
        out.push_back(std::move(fields));
    }
    return out;
}

std::vector<std::string> phasesOf(const std::vector<Fields>& events)
{
    std::vector<std::string> phases;
    for (const Fields& event : events) {
        const std::string phase = field(event, "flightstate");
        if (phases.empty() || phases.back() != phase)
            phases.push_back(phase);
    }
    return phases;
}

void expectDemoReport(const Fields& report, const std::vector<Fields>& events, const std::string& bridge)
{
    EXPECT_EQ(field(report, "LogID"), "9001");
    EXPECT_EQ(field(report, "Dep"), "EDDF");
    EXPECT_EQ(field(report, "Arr"), "EDDM");
    EXPECT_EQ(field(report, "Interface"), bridge);
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth flight, calm winds over Franconia.");
    EXPECT_EQ(field(report, "Comment64"), comment);

    // Phases: those the flight's events were recorded in, and the last one.
    EXPECT_EQ(phasesOf(events), (std::vector<std::string>{"Boarding", "Taxi", "Climb", "Descent", "Landed"}));
    EXPECT_EQ(field(report, "FlightState"), "On Block");
    // Items: a clean flight.
    EXPECT_EQ(field(report, "Rating"), "100");
    EXPECT_EQ(field(report, "Ratingreasons"), "");
    EXPECT_EQ(field(report, "Cheat"), "");

    // Touchdown: the client averages its last three polls of the vertical
    // speed, the first of them at the model's touchdown rate and the later
    // ones possibly on the ground already, so it reports a third, two thirds
    // or all of that rate, whichever the poll timing gives.
    const int touchdown = std::stoi(field(report, "VS"));
    bool nearOneOfThem = false;
    for (int polls = 1; polls <= 3; ++polls)
        nearOneOfThem = nearOneOfThem || std::abs(touchdown - kTouchdownFpm * polls / 3) <= 10;
    EXPECT_TRUE(nearOneOfThem) << "touchdown " << touchdown;

    // Money: the booking's figures exactly; what depends on the fuel burnt and
    // the time flown within half a percent of the Linux client's. The fuel
    // itself moves more: the aircraft burns at the stand while the pilot
    // script logs in, at whatever pace the machine allows.
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"PAX", "142"}, {"Ticket", "129"}, {"Crew", "360"}, {"Cargo_kg", "1800"}, {"Distance", "165"},
             {"Fuelprice", "1.210000"}, {"landing_fee", "450"}, {"Multiplier", "1.0"}})
        EXPECT_EQ(field(report, key), value) << key;
    for (const auto& [key, linux] : std::vector<std::pair<std::string, int>>{
             {"Profit", 24417}, {"Salary", 2733}, {"Bonus", 4521}}) {
        const int value = std::atoi(field(report, key).c_str());
        EXPECT_NEAR(value, linux, linux / 200) << key;
    }
    // What is bought tops up what is left after that burn, so it moves most:
    // 1343 against 1401 on a loaded machine.
    EXPECT_NEAR(std::atoi(field(report, "Fuel_Bought").c_str()), 1401, 1401 / 12) << "Fuel_Bought";
    EXPECT_NEAR(std::atoi(field(report, "Fuel_Used").c_str()), 1830, 1830 / 25) << "Fuel_Used";
    EXPECT_EQ(field(report, "ProfitMultiplied"), field(report, "Profit"));
}

} // namespace DemoFlightReport
