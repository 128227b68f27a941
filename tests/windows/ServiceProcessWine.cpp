// ServiceProcess for the Windows suite under Wine: Wine cannot start a Linux
// program, so a ctest fixture (WineService) starts qvl-service and names its data
// folder in QVL_WINE_SERVICE_DIR; faults are switched through the service's
// switch file, and the port is probed with Winsock.
#include "support/ServiceProcess.h"

#include <winsock2.h>

#include <cstdlib>
#include <fstream>

ServiceProcess::ServiceProcess(std::string programPath) : program(std::move(programPath))
{
    const char* dir = std::getenv("QVL_WINE_SERVICE_DIR");
    folder = dir != nullptr ? std::string("Z:") + dir : std::string();
}

ServiceProcess::~ServiceProcess()
{
    stop();
}

int ServiceProcess::run(const std::vector<std::string>&, bool)
{
    return -1;
}

bool ServiceProcess::start()
{
    if (folder.empty())
        return false;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    std::ifstream in(folder + "/port");
    return in >> listenPort && listenPort > 0 && setFault("none") && waitListening(5000);
}

void ServiceProcess::stop()
{
    if (listenPort > 0)
        setFault("none"); // the next suite finds the service as it was
}

bool ServiceProcess::setFault(const std::string& mode, unsigned delayMs, const std::string& function)
{
    const std::string target = folder + "/fault";
    {
        std::ofstream out(target + ".tmp", std::ios::trunc);
        out << mode << ' ' << delayMs;
        if (!function.empty())
            out << ' ' << function;
        out << '\n';
        if (!out)
            return false;
    }
    return MoveFileExA((target + ".tmp").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool ServiceProcess::connects() const
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(listenPort));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    closesocket(s);
    return ok;
}
