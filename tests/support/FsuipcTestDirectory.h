// A private folder for the module's server sockets, named in QVL_FSUIPC_DIR
// for this test and its child processes, and the platform transport
// installed in the link while it lives.
#pragma once

#include <memory>
#include <string>

class FsuipcTransport;

class CFsuipcTestDirectory {
public:
    CFsuipcTestDirectory();
    ~CFsuipcTestDirectory();
    CFsuipcTestDirectory(const CFsuipcTestDirectory&) = delete;
    CFsuipcTestDirectory& operator=(const CFsuipcTestDirectory&) = delete;

    const std::string& path() const { return dir; }
    // A file name inside the folder (record files and the like).
    std::string file(const std::string& name) const { return dir + "/" + name; }

private:
    std::string dir;
    std::unique_ptr<FsuipcTransport> transport;
};
