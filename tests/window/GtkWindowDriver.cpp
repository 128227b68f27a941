// The window suite on GTK: the main window on a private Xvfb display, clicked
// and typed into with xdotool, its tray icon held by a tray host (trayer) on
// that display; and the skin's outline record read or rejected.
#include "../gtk/XvfbServer.h"
#include "WindowSuite.h"

#include "platform/ResourceFolder.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkToolkit.h"
#include "platform/gtk/SkinImage.h"

#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>

namespace {

void pump(
    int ms, const std::function<bool()>& done = [] { return false; })
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end && !done()) {
        // Bounded: a ticking window's idle source is always pending.
        for (int i = 0; i < 100 && gtk_events_pending(); ++i)
            gtk_main_iteration_do(FALSE);
        g_usleep(5000);
    }
}

bool xdotool(const std::string& arguments)
{
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

// The pointer moved to a place on the screen of `widget`'s window.
std::string mouseTo(GtkWidget* widget, int x, int y)
{
    int left = 0, top = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &left, &top);
    return "mousemove " + std::to_string(left + x) + " " + std::to_string(top + y);
}

// The first toplevel that `match` accepts.
GtkWidget* findToplevel(const std::function<bool(GtkWidget*)>& match)
{
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next)
        if (match(GTK_WIDGET(w->data)))
            found = GTK_WIDGET(w->data);
    g_list_free(windows);
    return found;
}

// The status icon's own window, once the tray host has embedded it.
GtkWidget* embeddedTrayIcon()
{
    return findToplevel([](GtkWidget* w) {
        gboolean embedded = FALSE;
        if (std::strcmp(G_OBJECT_TYPE_NAME(w), "GtkTrayIcon") == 0)
            g_object_get(w, "embedded", &embedded, nullptr); // a GtkPlug's
        return embedded == TRUE;
    });
}

GtkWidget* openMenu()
{
    return findToplevel([](GtkWidget* w) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
        return gtk_widget_get_visible(w) && child && GTK_IS_MENU(child);
    });
}

class GtkWindowDriver {
public:
    static std::string unavailable()
    {
        static XvfbServer server;
        static const bool ready = server.running() && GtkToolkit::initialise();
        return ready ? "" : "Xvfb could not be started; the window tests need it";
    }
    static std::filesystem::path artifacts() { return std::filesystem::path(QVL_ARTIFACT_DIR) / "gtk"; }

    GtkWindowDriver() : kit(findResourceFolder()), made_(kit.createMainWindow("Quenvale")) {}
    ~GtkWindowDriver()
    {
        made_.reset();
        pump(50);
    }

    bool made() const { return made_ != nullptr; }
    Window& window() { return *made_; }
    Toolkit& toolkit() { return kit; }
    void pump(int ms) { ::pump(ms); }

    void show()
    {
        main().show();
        ::pump(3000, [&] { return gtk_widget_get_mapped(main().widget()); });
        ::pump(200);
    }

    WindowPlace origin()
    {
        WindowPlace o;
        gdk_window_get_origin(gtk_widget_get_window(main().widget()), &o.x, &o.y);
        return o;
    }
    bool visible() { return gtk_widget_get_visible(main().widget()); }
    bool focused() { return gtk_window_is_active(GTK_WINDOW(main().widget())); }

    struct Shot {
        std::unique_ptr<GdkPixbuf, decltype(&g_object_unref)> image{nullptr, g_object_unref};
        std::uint32_t at(int x, int y) const
        {
            const guchar* p = gdk_pixbuf_get_pixels(image.get()) + y * gdk_pixbuf_get_rowstride(image.get()) +
                              x * gdk_pixbuf_get_n_channels(image.get());
            return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        }
        bool save(const std::filesystem::path& stem) const
        {
            return gdk_pixbuf_save(image.get(), (stem.string() + ".png").c_str(), "png", nullptr, nullptr);
        }
    };
    Shot shot()
    {
        const WindowPlace o = origin();
        Shot taken;
        taken.image.reset(gdk_pixbuf_get_from_window(gdk_get_default_root_window(), o.x, o.y, 600, 380));
        EXPECT_NE(taken.image, nullptr);
        return taken;
    }

    void click(int x, int y)
    {
        EXPECT_TRUE(xdotool(mouseTo(main().widget(), x, y) + " click 1"));
        ::pump(200);
    }
    // Each step apart, so the loop sees the press before the pointer moves.
    void drag(int x, int y, int dx, int dy)
    {
        const std::string to = mouseTo(main().widget(), x + dx, y + dy);
        for (const std::string& step :
             {mouseTo(main().widget(), x, y) + " mousedown 1", to, std::string("mouseup 1")}) {
            EXPECT_TRUE(xdotool(step));
            ::pump(200);
        }
    }
    void press(std::initializer_list<Press> keys)
    {
        std::string names;
        for (Press key : keys)
            names += key == Press::Enter ? " Return" : key == Press::Tab ? " Tab" : " space";
        EXPECT_TRUE(xdotool("key" + names));
    }
    void holdKeys(bool down)
    {
        EXPECT_TRUE(xdotool(std::string(down ? "keydown" : "keyup") + " ctrl+shift+l"));
        ::pump(100); // the key events reach the loop
    }

    auto otherWindow()
    {
        std::unique_ptr<GtkWidget, decltype(&gtk_widget_destroy)> other(gtk_window_new(GTK_WINDOW_TOPLEVEL),
                                                                        gtk_widget_destroy);
        gtk_widget_show(other.get());
        gtk_window_present(GTK_WINDOW(other.get()));
        ::pump(200);
        return other;
    }

    // A tray host on the private display, gone with the display's server.
    std::string trayMissing()
    {
        static const bool started =
            std::system("command -v trayer > /dev/null && (trayer --edge top --height 24 > /dev/null 2>&1 &)") == 0;
        return started ? "" : "no tray host: trayer is not installed (tools/dev.sh installs it)";
    }
    // A real click on the embedded icon; true once it shows the window
    // (left) or opens the menu (right).
    bool trayClick(bool right)
    {
        ::pump(3000, [] { return embeddedTrayIcon() != nullptr; });
        GtkWidget* icon = embeddedTrayIcon();
        if (!icon)
            return false;
        const auto done = [&] { return right ? openMenu() != nullptr : visible(); };
        const int x = gtk_widget_get_allocated_width(icon) / 2, y = gtk_widget_get_allocated_height(icon) / 2;
        EXPECT_TRUE(xdotool(mouseTo(icon, x, y) + (right ? " click 3" : " click 1")));
        ::pump(2000, done);
        return done();
    }
    void closeMenu()
    {
        if (GtkWidget* menu = openMenu())
            gtk_menu_shell_deactivate(GTK_MENU_SHELL(gtk_bin_get_child(GTK_BIN(menu))));
    }

    void after(int ms, std::function<void()> action)
    {
        g_timeout_add(ms, fire, new std::function<void()>(std::move(action)));
    }
    bool answerBox(const std::string& title)
    {
        GtkWidget* box = findToplevel([&](GtkWidget* w) {
            const char* shown = gtk_window_get_title(GTK_WINDOW(w));
            return GTK_IS_DIALOG(w) && shown && title == shown;
        });
        if (box)
            gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
        return box != nullptr;
    }

private:
    static gboolean fire(gpointer action)
    {
        std::unique_ptr<std::function<void()>>(static_cast<std::function<void()>*>(action))->operator()();
        return G_SOURCE_REMOVE;
    }
    GtkMainWindow& main() { return static_cast<GtkMainWindow&>(*made_); }

    GtkToolkit kit;
    std::unique_ptr<Window> made_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Gtk, WindowSuite, GtkWindowDriver);

struct RegionCase {
    const char* what;
    std::size_t offset; // where to damage the generated record, or npos
    unsigned char value;
    std::size_t truncateTo;
    std::size_t rectangles;
};

class SkinRegionTest : public ::testing::TestWithParam<RegionCase> {};

TEST_P(SkinRegionTest, ReadsTheOutlineOrRejectsIt)
{
    const std::string folder = findResourceFolder();
    ASSERT_FALSE(folder.empty());
    std::ifstream in(folder + "/skin.region", std::ios::binary);
    std::vector<unsigned char> record((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const RegionCase& c = GetParam();
    if (c.offset != std::string::npos)
        record.at(c.offset) = c.value;
    if (c.truncateTo)
        record.resize(c.truncateTo);
    EXPECT_EQ(SkinImage::parseRegion(record).size(), c.rectangles) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Records, SkinRegionTest,
                         ::testing::Values(RegionCase{"as generated", std::string::npos, 0, 0, 13},
                                           RegionCase{"wrong header size", 0, 40, 0, 0},
                                           RegionCase{"wrong kind", 4, 2, 0, 0},
                                           RegionCase{"count beyond the data", 8, 14, 0, 0},
                                           RegionCase{"cut short", std::string::npos, 0, 100, 0},
                                           RegionCase{"left beyond right", 33, 0x10, 0, 0}));

} // namespace
