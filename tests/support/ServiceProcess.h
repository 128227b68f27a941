// Runs a real qvl-service process for a test: a private data folder, a free
// port on loopback, its own CA file; stopped (and the folder removed) at the end.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

class ServiceProcess {
public:
    // program: path of the qvl-service executable.
    explicit ServiceProcess(std::string program);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts the service and waits until it listens; false on failure.
    bool start();
    void stop();

    int port() const { return listenPort; }
    std::string url() const { return "https://127.0.0.1:" + std::to_string(listenPort); }
    const std::string& dataFolder() const { return folder; }
    std::string caFile() const { return folder + "/ca.pem"; }
    std::string databaseFile() const { return folder + "/service.db"; }
    // Every upload the service received, one line each (see DemoFlightReport::readUploads).
    std::string uploadLog() const { return folder + "/uploads.log"; }
    // Switches a fault mode ("none", "refuse", "delay", ...) through the service's
    // command line, for every function or only the one named.
    bool setFault(const std::string& mode, unsigned delayMs = 0, const std::string& function = {});
    // True once a TCP connection to the port succeeds, waiting at most timeoutMs.
    bool waitListening(unsigned timeoutMs) const;
    // True once connections are refused, waiting at most timeoutMs.
    bool waitRefusing(unsigned timeoutMs) const;

private:
    bool connects() const;
    int run(const std::vector<std::string>& arguments, bool wait);

    std::string program;
    std::string folder;
    pid_t pid = -1;
    int listenPort = 0;
};
