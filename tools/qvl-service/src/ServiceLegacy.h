// The legacy endpoint of the service: one handler per function, answering in
// the text frame ("DATASTART", result word, header, rows, "DATAEND").
#pragma once

#include "ServiceStore.h"

#include <optional>
#include <string>

class CServiceForm;

class CServiceLegacy {
public:
    explicit CServiceLegacy(CServiceStore& store) : db(store) {}

    // The frame answering one request body.
    std::string handle(const std::string& body);

    static std::string word(const std::string& result);
    static std::string table(const CServiceStore::Table& t);

private:
    std::string getVersion();
    std::string getTimestamp();
    std::string getFuelPrice(const CServiceForm& form);
    std::string getNews();
    std::string getRoute(const CServiceForm& form);
    std::string getClosestAirport(const CServiceForm& form);
    // The data-changing calls: code and token checked first.
    std::string changeData(const std::string& function, const CServiceForm& form);
    std::string writeReport(const std::string& pilot, const CServiceForm& form);
    std::string writePosition(const std::string& pilot, const CServiceForm& form);
    std::string writeTracker(const std::string& pilot, const CServiceForm& form);
    std::string writeEvent(const CServiceForm& form);
    // An upload of this kind with both fields as given was stored after the
    // upload `since`: a client resending what it sent before its answer was lost.
    bool isRepeat(const std::string& kind, const std::string& key1, const std::string& value1, const std::string& key2,
                  const std::string& value2, const std::string& since);

    std::optional<std::string> pilotOfToken(const std::string& token);
    bool logOfPilot(const std::string& logId, const std::string& pilot);

    CServiceStore& db;
};
