// The JSON endpoints of the service: login, the pilot behind a token, and the
// pilot's booked airports.
#pragma once

#include "ServiceStore.h"

#include <string>

class CServiceJson {
public:
    struct Answer {
        int status = 200;
        std::string body;
    };

    explicit CServiceJson(CServiceStore& store) : db(store) {}

    Answer login(const std::string& body);
    Answer pilot(const std::string& token);
    Answer bookedAirports(const std::string& pilotId, const std::string& token);

    static std::string quote(const std::string& text);

private:
    static Answer error(int status, const std::string& word);
    CServiceStore& db;
};
