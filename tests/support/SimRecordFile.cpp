// CSimRecordFile: property_tree reads each line.
#include "SimRecordFile.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <fstream>
#include <sstream>

std::vector<SimRecordLine> CSimRecordFile::lines() const
{
    std::vector<SimRecordLine> out;
    std::ifstream in(file);
    std::string text;
    while (std::getline(in, text)) {
        try {
            std::istringstream line(text);
            boost::property_tree::ptree t;
            boost::property_tree::read_json(line, t);
            out.push_back({t.get<std::string>("kind", ""), t.get<std::string>("text", ""), t.get<double>("value", 0.0),
                           t.get<int>("slot", -1)});
        } catch (const std::exception&) {
            // A line being written as we read; the next read sees it whole.
        }
    }
    return out;
}

std::vector<SimRecordLine> CSimRecordFile::linesOf(const std::string& kind) const
{
    std::vector<SimRecordLine> out;
    for (const SimRecordLine& l : lines()) {
        if (l.kind == kind)
            out.push_back(l);
    }
    return out;
}
