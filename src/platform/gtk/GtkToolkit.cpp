// GtkToolkit: the main window is shown when the loop starts, so a second
// instance's window, made only to own its message box, never appears.
#include "platform/gtk/GtkToolkit.h"

#include "platform/ResourceFolder.h"
#include "platform/gtk/GtkMainWindow.h"

#include <gtk/gtk.h>

namespace {

// Native controls as small as the window's layout gives them.
constexpr const char* kStyle = R"css(
#qvl-control, #qvl-control * { font-family: "Liberation Sans", sans-serif; font-size: 11px; }
entry#qvl-control { min-height: 0; padding: 0 3px; border-radius: 0; }
#qvl-control textview, #qvl-control text { padding: 1px; }
combobox#qvl-control button { min-height: 0; padding: 0 4px; border-radius: 0; }
combobox#qvl-control arrow { min-height: 0; min-width: 10px; }
checkbutton#qvl-control { padding: 0; margin: 0; min-height: 0; }
checkbutton#qvl-control check { margin: 0; min-width: 12px; min-height: 12px; }
progressbar#qvl-control trough, progressbar#qvl-control progress { min-height: 18px; border-radius: 0; }
)css";

} // namespace

GtkToolkit::GtkToolkit(const std::string& resources) : resourceFolder(resources), log("GtkToolkit") {}

bool GtkToolkit::initialise()
{
    // The window draws with cairo alone: GDK's probe for GL visuals would load
    // the GL driver (with a software one, 12 MB of private memory) for nothing.
    // A GDK_GL the user set is kept.
    g_setenv("GDK_GL", "disable", FALSE);
    if (!gtk_init_check(nullptr, nullptr))
        return false;
    loadStyle();
    return true;
}

void GtkToolkit::loadStyle()
{
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

std::unique_ptr<Window> GtkToolkit::createMainWindow(const std::string& title)
{
    auto window = std::make_unique<GtkMainWindow>(title, resourceFolder);
    if (!window->skinLoaded()) {
        log.error("Unable to retrieve the skin.");
        return nullptr;
    }
    return window;
}

void GtkToolkit::run(Window& window, const std::function<bool()>& idle)
{
    auto& main = static_cast<GtkMainWindow&>(window);
    if (main.isClosed())
        return;
    main.show();
    main.startTicking(idle);
    gtk_main();
}

bool openPlatformDisplay()
{
    return GtkToolkit::initialise();
}

std::unique_ptr<Toolkit> createPlatformToolkit(std::string& error)
{
    const std::string resources = findResourceFolder();
    if (resources.empty()) {
        error = "cannot find the client's resources (skin.png); set QVL_RESOURCE_DIR";
        return nullptr;
    }
    return std::make_unique<GtkToolkit>(resources);
}
