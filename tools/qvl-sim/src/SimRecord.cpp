// CSimRecord: the events in memory and as JSON lines.
#include "SimRecord.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <fstream>
#include <sstream>

void CSimRecord::setFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex);
    file = path;
}

void CSimRecord::add(const SimEvent& e)
{
    std::lock_guard<std::mutex> lock(mutex);
    list.push_back(e);
    if (!file.empty()) {
        std::ofstream out(file, std::ios::app);
        out << toJsonLine(e) << '\n';
    }
}

std::vector<SimEvent> CSimRecord::events() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return list;
}

std::vector<SimEvent> CSimRecord::eventsOf(const std::string& kind) const
{
    std::vector<SimEvent> out;
    for (const SimEvent& e : events()) {
        if (e.kind == kind)
            out.push_back(e);
    }
    return out;
}

void CSimRecord::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    list.clear();
}

std::string CSimRecord::toJsonLine(const SimEvent& e)
{
    boost::property_tree::ptree t;
    t.put("kind", e.kind);
    t.put("text", e.text);
    t.put("value", e.value);
    t.put("slot", e.slot);
    std::ostringstream out;
    boost::property_tree::write_json(out, t, false);
    std::string line = out.str();
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}
