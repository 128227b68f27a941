// The GTK window on a private X server: the skin and pages painted (a
// screenshot of each page kept in <build>/artifacts/gtk), owner-drawn buttons
// clicked and pressed from the keyboard through the display server, no tick
// while a message box is open,
// and the key state read from the server while another window has the focus.
#include "XvfbServer.h"

#include "platform/ResourceFolder.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkToolkit.h"
#include "platform/gtk/SkinImage.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "ui/ControlIds.h"
#include "ui/UserInterface.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

bool displayReady()
{
    static XvfbServer server;
    static const bool ready = server.running() && GtkToolkit::initialise();
    return ready;
}

// Runs the loop until `done` holds or the time is up.
bool pumpUntil(const std::function<bool()>& done, int ms = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        // Bounded: a ticking window's idle source is always pending.
        for (int i = 0; i < 100 && gtk_events_pending(); ++i)
            gtk_main_iteration_do(FALSE);
        if (done())
            return true;
        g_usleep(5000);
    }
    return done();
}

void pump(int ms)
{
    pumpUntil([] { return false; }, ms);
}

bool run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

struct Origin {
    int x = 0;
    int y = 0;
};

Origin originOf(GtkMainWindow& window)
{
    Origin o;
    gdk_window_get_origin(gtk_widget_get_window(window.widget()), &o.x, &o.y);
    return o;
}

GdkPixbuf* screenshot(GtkMainWindow& window)
{
    const Origin o = originOf(window);
    return gdk_pixbuf_get_from_window(gdk_get_default_root_window(), o.x, o.y, 600, 380);
}

struct Rgb {
    int r, g, b;
};

Rgb pixel(GdkPixbuf* image, int x, int y)
{
    const guchar* p =
        gdk_pixbuf_get_pixels(image) + y * gdk_pixbuf_get_rowstride(image) + x * gdk_pixbuf_get_n_channels(image);
    return {p[0], p[1], p[2]};
}

class RecordingEvents final : public WindowEvents {
public:
    void onPaint(Painter&) override { ++paints; }
    void onCommand(int id) override { commands.push_back(id); }
    int paints = 0;
    std::vector<int> commands;
};

class GtkWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!displayReady())
            GTEST_SKIP() << "Xvfb could not be started; the window tests need it";
        resources = findResourceFolder();
        ASSERT_FALSE(resources.empty()) << "the generated resources are missing";
        window = std::make_unique<GtkMainWindow>("Quenvale", resources);
        ASSERT_TRUE(window->skinLoaded());
    }
    void TearDown() override
    {
        window.reset();
        pump(50);
    }

    void showAndWait()
    {
        window->show();
        ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(window->widget()); }));
        pump(200);
    }

    std::string resources;
    std::unique_ptr<GtkMainWindow> window;
};

TEST_F(GtkWindowTest, PaintsEveryPageOverTheSkin)
{
    RecordingSoundOutput sounds;
    CUserInterface ui(*window, sounds);
    window->setEvents(&ui);
    ui.OnCreate();
    showAndWait();
    const std::filesystem::path folder = std::filesystem::path(QVL_ARTIFACT_DIR) / "gtk";
    std::filesystem::create_directories(folder);
    const Rgb contentColour = {0xf3, 0xf5, 0xf7};
    for (int page :
         {PageLogin, PageHome, PageOptions, PageFlightInformation, PageFlying, PageChecklist, PageReportRoute,
          PageReportFinances, PageReportPenalties, PageWrongVersion, PageFuelTanks, PageReportBackup, PageSimpleFuel,
          PageLoadSheet, PageComment, PageDownload, PageAbortedFlight, PageDivert, PageFuelError}) {
        ui.SetPage(page);
        pump(150);
        GdkPixbuf* image = screenshot(*window);
        ASSERT_NE(image, nullptr);
        const std::string file = (folder / ("page_" + std::to_string(page) + ".png")).string();
        EXPECT_TRUE(gdk_pixbuf_save(image, file.c_str(), "png", nullptr, nullptr)) << file;
        // The corner outside the outline is cut away; the content area is the skin's.
        const Rgb corner = pixel(image, 577, 352);
        EXPECT_EQ(corner.r, contentColour.r) << "page " << page;
        g_object_unref(image);
    }
    window->setEvents(nullptr);
}

TEST_F(GtkWindowTest, ClickOrKeyOnAControlIsItsCommandAndOnTheSkinIsNone)
{
    RecordingEvents events;
    window->setEvents(&events);
    window->createControl({ControlKind::Button, 77, "Fly!", 25, 310, 148, 20, StyleVisible});
    window->createControl({ControlKind::Button, 78, "Hidden", 25, 334, 148, 20, StyleNone});
    window->createControl({ControlKind::CheckBox, 79, "", 25, 280, 12, 12, StyleVisible});
    showAndWait();
    const Origin o = originOf(*window);
    auto click = [&](int x, int y) {
        ASSERT_TRUE(run("xdotool mousemove " + std::to_string(o.x + x) + " " + std::to_string(o.y + y) + " click 1"));
        pump(200);
    };
    click(60, 318); // the button, which takes the focus
    GdkPixbuf* image = screenshot(*window);
    ASSERT_NE(image, nullptr);
    const Rgb top = pixel(image, 60, 310), bottom = pixel(image, 60, 329);
    g_object_unref(image);
    EXPECT_EQ((std::vector<int>{top.r, top.g, top.b, bottom.r, bottom.g, bottom.b}),
              (std::vector<int>{255, 255, 255, 255, 255, 255}))
        << "the focused button has white edges";
    ASSERT_TRUE(run("xdotool key Return space"));
    pump(200);
    click(400, 300);             // the skin
    click(60, 342);              // where the hidden button is
    click(31, 286);              // the check box
    window->setCheck(79, false); // the user interface's own change is no command
    pump(100);
    EXPECT_EQ(events.commands, (std::vector<int>{77, 77, 77, 79}));
    EXPECT_FALSE(window->getCheck(79));
    EXPECT_GT(events.paints, 0);
    window->setEvents(nullptr);
}

// What the box test watches; the box runs its own loop, so the answer comes
// from a timer inside that loop.
struct BoxWatch {
    GtkMainWindow* window = nullptr;
    int ticks = 0;
    int ticksAtOpen = -1;
    int ticksDuringBox = -1;
    bool answered = false;
};

gboolean answerBox(gpointer data)
{
    auto* watch = static_cast<BoxWatch*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        if (GTK_IS_DIALOG(w->data)) {
            watch->ticksDuringBox = watch->ticks - watch->ticksAtOpen;
            gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
        }
    }
    g_list_free(windows);
    return G_SOURCE_REMOVE;
}

gboolean openBox(gpointer data)
{
    auto* watch = static_cast<BoxWatch*>(data);
    watch->ticksAtOpen = watch->ticks;
    g_timeout_add(400, answerBox, watch);
    watch->window->messageBox("Stop?", "Test", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
    watch->answered = true;
    return G_SOURCE_REMOVE;
}

TEST_F(GtkWindowTest, NoTickWhileAMessageBoxIsOpen)
{
    showAndWait();
    BoxWatch watch;
    watch.window = window.get();
    window->startTicking([&] {
        ++watch.ticks;
        g_usleep(10000);
        return true;
    });
    // The box opens from the loop, as a button's action would open it.
    g_timeout_add(100, openBox, &watch);
    ASSERT_TRUE(pumpUntil([&] { return watch.answered; }, 5000));
    const int afterBox = watch.ticks;
    pump(300);
    EXPECT_GT(watch.ticksAtOpen, 0) << "ticks ran before the box";
    EXPECT_EQ(watch.ticksDuringBox, 0);
    EXPECT_GT(watch.ticks, afterBox) << "ticks go on once the box is answered";
    window->startTicking(nullptr);
}

TEST_F(GtkWindowTest, LoopEndsOnceTheWindowIsClosed)
{
    GtkToolkit toolkit(resources);
    int ticks = 0;
    toolkit.run(*window, [&] {
        if (++ticks == 3)
            window->close(); // as "Exit" closes it
        return true;
    });
    EXPECT_EQ(ticks, 3);
}

TEST_F(GtkWindowTest, KeysSeenWhileAnotherWindowHasTheFocus)
{
    showAndWait();
    GtkWidget* other = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_show(other);
    gtk_window_present(GTK_WINDOW(other));
    pump(200);
    ASSERT_TRUE(run("xdotool keydown ctrl+shift+l"));
    pump(100); // the key events reach the loop
    EXPECT_TRUE(window->isKeyDown(Key::L));
    EXPECT_TRUE(window->isKeyDown(Key::Control));
    EXPECT_TRUE(window->isKeyDown(Key::Shift));
    ASSERT_TRUE(run("xdotool keyup ctrl+shift+l"));
    pump(100);
    EXPECT_FALSE(window->isKeyDown(Key::L));
    EXPECT_FALSE(window->isKeyDown(Key::Control));
    gtk_widget_destroy(other);
}

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
