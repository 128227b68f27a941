// CFsuipcServer on Windows: a top-level window of the module's class on the
// thread that starts it. The registered message carries a global atom naming
// the client's page-file mapping; the window procedure maps it, walks it and
// returns the answer, which SendMessageTimeout hands to the client.
#include "FsuipcServer.h"

#include <windows.h>

struct CFsuipcServer::Endpoint {
    HWND window = nullptr;
    UINT message = 0;
    std::string lastName;
    bool answeredLate = false;

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT answer(CFsuipcServer& server, WPARAM atom);
};

namespace {

constexpr char kMessageName[] = "FsasmLib:IPC";

bool registerClass(const std::string& className, WNDPROC procedure)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className.c_str();
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

CFsuipcServer::CFsuipcServer(BlockHandler blockHandler)
    : handler(std::move(blockHandler)), endpoint(std::make_unique<Endpoint>())
{
}

CFsuipcServer::~CFsuipcServer()
{
    stop();
}

std::string CFsuipcServer::defaultDirectory()
{
    return {};
}

bool CFsuipcServer::running() const
{
    return endpoint->window != nullptr;
}

bool CFsuipcServer::start(const std::string& className, const std::string&)
{
    stop();
    Endpoint& e = *endpoint;
    e.message = RegisterWindowMessageA(kMessageName);
    if (e.message == 0 || !registerClass(className, &Endpoint::windowProcedure))
        return false;
    path = className;
    // Top-level (not message-only): the client looks among the top-level windows.
    e.window = CreateWindowExA(0, className.c_str(), "qvl-sim", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), this);
    return e.window != nullptr;
}

void CFsuipcServer::stop()
{
    Endpoint& e = *endpoint;
    if (e.window != nullptr)
        DestroyWindow(e.window);
    e.window = nullptr;
    e.lastName.clear();
}

void CFsuipcServer::pump(unsigned ms)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK CFsuipcServer::Endpoint::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* server = reinterpret_cast<CFsuipcServer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (server != nullptr && message == server->endpoint->message && message != 0)
        return answer(*server, wParam);
    if (server != nullptr && message == WM_DESTROY && server->endpoint->window == window)
        server->endpoint->window = nullptr; // closed from outside: the simulator is gone
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CFsuipcServer::Endpoint::answer(CFsuipcServer& server, WPARAM atom)
{
    char buffer[kMaxNameLength + 1] = {};
    const UINT length = GlobalGetAtomNameA(static_cast<ATOM>(atom), buffer, sizeof buffer);
    const std::string name(buffer, length);
    if (length == 0 || !isMappingName(name))
        return 0;
    Endpoint& e = *server.endpoint;
    const Fault fault = server.fault;
    // The first batch of a mapping (the version handshake) is always served
    // honestly, so a client gets as far as the batches the fault is meant for.
    const bool faulty = name == e.lastName && fault != Fault::None;
    e.lastName = name;
    const bool ok = server.serveNamed(name, faulty);
    // The client stops waiting after its time-out; this thread keeps it waiting.
    if (faulty && (fault == Fault::NeverAnswer || (fault == Fault::AnswerLate && !e.answeredLate))) {
        Sleep(kLateAnswerMs);
        e.answeredLate = e.answeredLate || fault == Fault::AnswerLate;
        if (fault == Fault::NeverAnswer)
            return 0;
    }
    return ok && !(faulty && fault == Fault::AnswerZero) ? 1 : 0;
}

bool CFsuipcServer::serveNamed(const std::string& name, bool faulty)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
    if (mapping == nullptr)
        return false;
    // A mapping smaller than the block cannot be mapped at the block's size.
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kBlockSize);
    CloseHandle(mapping);
    MEMORY_BASIC_INFORMATION region{};
    if (view == nullptr || VirtualQuery(view, &region, sizeof region) == 0 || region.RegionSize < kBlockSize) {
        if (view != nullptr)
            UnmapViewOfFile(view);
        return false;
    }
    const bool ok = serveMapped(name, static_cast<std::uint8_t*>(view), faulty);
    UnmapViewOfFile(view);
    return ok;
}
