// The toolkit on GTK 3: initialises GTK, styles the native controls to the
// window's compact sizes, makes the skinned main window and runs the GLib loop.
#pragma once

#include "core/DebugLog.h"
#include "platform/Toolkit.h"

#include <string>

class GtkToolkit final : public Toolkit {
public:
    // `resources`: the folder of the skin, region and icon.
    explicit GtkToolkit(const std::string& resources);

    // False when no display could be opened (then nothing else may be called).
    static bool initialise();

    std::unique_ptr<Window> createMainWindow(const std::string& title) override;
    void run(Window& window, const std::function<bool()>& idle) override;

private:
    static void loadStyle();

    std::string resourceFolder;
    CDebugLog log;
};
