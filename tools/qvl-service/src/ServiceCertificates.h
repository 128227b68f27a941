// The service's private certificate authority and its server certificate for
// 127.0.0.1 and localhost, created in the data folder at first start. Clients
// trust the service by naming ca.pem as their CA file.
#pragma once

#include <string>

class CServiceCertificates {
public:
    explicit CServiceCertificates(std::string folder);

    // Creates the files that are missing; false with error() on failure.
    bool ensure();

    std::string caFile() const { return dir + "/ca.pem"; }
    std::string certificateFile() const { return dir + "/server.pem"; }
    std::string keyFile() const { return dir + "/server.key"; }
    const std::string& error() const { return lastError; }

private:
    bool create();

    std::string dir;
    std::string lastError;
};
