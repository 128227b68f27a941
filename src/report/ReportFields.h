// The report's fields by the names the upload gives them, each spelled as the
// upload spells it: for printing a report and comparing it with what the
// service received.
#pragma once

#include "server/Records.h"

#include <string>
#include <utility>
#include <vector>

namespace ReportFields {

using Field = std::pair<std::string, std::string>;

// The report record's part of the upload, after the upload's defaults.
std::vector<Field> uploaded(const Tervix_Reports& report, std::int32_t aircraftAirline);

} // namespace ReportFields
