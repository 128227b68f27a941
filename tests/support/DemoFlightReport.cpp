// DemoFlightReport: the demo flight's set-up and the report it must give.
#include "support/DemoFlightReport.h"

#include "server/Base64.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

void expectDemoReport(const Fields& report, const std::string& bridge)
{
    EXPECT_EQ(field(report, "LogID"), "9001");
    EXPECT_EQ(field(report, "Dep"), "EDDF");
    EXPECT_EQ(field(report, "Arr"), "EDDM");
    EXPECT_EQ(field(report, "Interface"), bridge);
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth flight, calm winds over Franconia.");
    EXPECT_EQ(field(report, "Comment64"), comment);
    const int touchdown = std::stoi(field(report, "VS"));
    EXPECT_LT(touchdown, 0);
    EXPECT_GT(touchdown, -625) << "the scenario lands softly";
}

} // namespace DemoFlightReport
