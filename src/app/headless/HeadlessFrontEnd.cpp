// CHeadlessFrontEnd: printing, the pilot script, and the interrupt that ends a
// run without a script.
#include "app/headless/HeadlessFrontEnd.h"

#include "app/ClientStartup.h"
#include "app/ExitCodes.h"
#include "app/ExitSignals.h"
#include "app/headless/ConsoleLogPrinter.h"
#include "app/headless/PilotRunner.h"
#include "app/headless/PilotScript.h"
#include "core/ClientConfig.h"
#include "platform/SingleInstance.h"
#include "platform/SoundOutput.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HeadlessWindow.h"
#include "ui/ControlIds.h"
#include "ui/PageNames.h"
#include "ui/UserInterface.h"

#include <csignal>
#include <iostream>
#include <memory>
#include <optional>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

// Nobody listens to a headless client.
class SilentSound final : public SoundOutput {
public:
    bool playAsync(const std::string&) override { return true; }
};

CConsoleLogPrinter& console()
{
    static CConsoleLogPrinter printer(std::cout);
    return printer;
}

void printLogLine(CDebugLog::Level level, const std::string& channel, const std::string& text)
{
    console().line(level, channel, text);
}

// Headless windows whose message boxes are printed, the refusal of a second
// client included (it comes before the user interface exists).
class PrintingToolkit final : public Toolkit {
public:
    std::unique_ptr<Window> createMainWindow(const std::string&) override
    {
        auto window = std::make_unique<HeadlessWindow>();
        window->onMessageBox = [](const HeadlessWindow::ShownBox& box) {
            std::cout << "message box [" << box.title << "]: " << CConsoleLogPrinter::oneLine(box.text) << std::endl;
        };
        return window;
    }
    void run(Window& window, const std::function<bool()>& idle) override { loop.run(window, idle); }

private:
    HeadlessToolkit loop;
};

// The pages the pilot sees, printed as they change.
class PageReporter {
public:
    void attach(CUserInterface& ui)
    {
        ui.onPageShown = [this](int page) { pageShown(page); };
        pageShown(ui.getPage());
    }

private:
    void pageShown(int page)
    {
        if (page == lastPage)
            return;
        lastPage = page;
        std::cout << "page " << page << " (" << pageName(page) << ")" << std::endl;
    }
    int lastPage = -1;
};

// The update download's progress bar, printed as it moves.
class ProgressReporter {
public:
    void check(const HeadlessWindow& window)
    {
        const HeadlessWindow::Control* bar = window.findControl(IdProgress);
        if (bar == nullptr)
            return;
        const int percent = static_cast<int>(bar->progress * 100.0 + 0.5);
        if (percent == lastPercent)
            return;
        lastPercent = percent;
        std::cout << "progress " << percent << "%" << std::endl;
    }

private:
    int lastPercent = 0;
};

// A window paints what was invalidated once its queue is empty; so does this one.
void paintWhenAsked(HeadlessWindow& window)
{
    if (window.invalidated.empty())
        return;
    window.invalidated.clear();
    window.paintNow();
}

} // namespace

CHeadlessFrontEnd::CHeadlessFrontEnd(const ProgramOptions& programOptions) : options(programOptions) {}

int CHeadlessFrontEnd::run()
{
    CPilotScript script;
    if (!options.pilotFile.empty() && !script.load(options.pilotFile)) {
        std::cerr << "pilot script " << options.pilotFile << ": " << script.error() << std::endl;
        return ExitUsage;
    }
    CExitSignals::install(onInterrupt);
    CDebugLog::setListener(printLogLine);

    PrintingToolkit toolkit;
    SilentSound sound;
    auto instance =
        createPlatformSingleInstance(CClientConfig::getInstance().getDataFolder(), "RevOvuduveMultipleInstance");
    CClientStartup startup(toolkit, sound, *instance);
    HeadlessWindow* window = nullptr;
    PageReporter pages;
    ProgressReporter progress;
    std::optional<CPilotRunner> pilot;
    int status = ExitOk;
    startup.onReady = [&](Window& mainWindow, CUserInterface& ui) {
        // The headless toolkit makes nothing but headless windows.
        window = static_cast<HeadlessWindow*>(&mainWindow);
        pages.attach(ui);
        if (options.pilotFile.empty())
            return;
        pilot.emplace(script.commands(), *window, [&ui] { return ui.getPage(); });
        pilot->onCommand = [](const std::string& text) { std::cout << "pilot: " << text << std::endl; };
    };
    startup.afterTick = [&] {
        paintWhenAsked(*window);
        progress.check(*window);
        if (g_interrupted != 0) {
            std::cout << "interrupted" << std::endl;
            return false;
        }
        if (!pilot || pilot->step() == CPilotRunner::State::Running)
            return true;
        if (pilot->state() == CPilotRunner::State::Failed) {
            std::cout << "pilot script failed at " << pilot->failure() << std::endl;
            status = ExitPilotFailed;
        } else {
            std::cout << "pilot script finished" << std::endl;
        }
        return false;
    };
    const int started = startup.run();
    CExitSignals::finished(); // the store is saved: a closing console may end the process now
    CDebugLog::setListener({});
    console().finish();
    return started != ExitOk ? started : status;
}
