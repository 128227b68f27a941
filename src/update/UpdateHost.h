// What the update download needs of the window it runs in: the service's
// version texts, the window for its message boxes and its close, and the
// progress bar. The user interface implements it.
#pragma once

class CClientInterface;
class Window;

namespace AutoUpdate {

class CUpdateHost {
public:
    virtual CClientInterface& getClient() = 0;
    virtual Window& getWindow() = 0;
    virtual void showDownloadProgress(double fraction) = 0;

protected:
    ~CUpdateHost() = default;
};

} // namespace AutoUpdate
