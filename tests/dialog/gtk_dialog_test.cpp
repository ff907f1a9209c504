// The setup dialog shown for real: a private Xvfb server, the GTK window DialogBoxParamA
// builds, and xdotool pressing keys and clicking on it as a person would.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <windows.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <future>
#include <string>
#include <tuple>

#include "app/setup_dialog.h"
#include "dialog/gtk_dialog.h"
#include "needs.h"

using quarvel::dialog::ShownWidget;
using quarvel::test::OnPath;

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
pid_t xvfb = -1;

// Starts Xvfb on a free display (it reports which through -displayfd) and points GTK at it.
bool StartXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd readable{fds[0], POLLIN, 0};
    char c;
    while (poll(&readable, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return false;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    return true;
}

// xdotool on a thread of its own, while the main thread runs the dialog; its status comes
// when it is done.
std::future<int> Xdotool(const std::string& script) {
    return std::async(std::launch::async, [script] {
        return std::system(("timeout 20 xdotool search --sync --onlyvisible --name '^Quarvel$' " + script).c_str());
    });
}

HWND shownDialog = nullptr;
// Run arrived this often, with the widgets showing this state.
int inspections = 0;
int expectedSelection = 1;  // 1280 * 720, the defaults' entry
bool expectedWindowed = false;

// Ends a dialog nobody managed to press, so a broken run fails instead of hanging.
gboolean Watchdog(gpointer) {
    if (shownDialog) EndDialog(shownDialog, 99);
    return G_SOURCE_REMOVE;
}

GtkWidget* Widget(int id) { return ShownWidget(GetDlgItem(shownDialog, id)); }

RECT Pixels(RECT units) {
    MapDialogRect(shownDialog, &units);
    return units;
}

class ShownDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (OnPath("Xvfb")) started_ = StartXvfb();
    }
    static void TearDownTestSuite() {
        if (xvfb > 0) {
            kill(xvfb, SIGTERM);
            waitpid(xvfb, nullptr, 0);
        }
    }
    void SetUp() override {
        QUARVEL_NEEDS_PROGRAM("Xvfb");
        QUARVEL_NEEDS_PROGRAM("xdotool");
        ASSERT_TRUE(started_) << "Xvfb did not report a display";
        unsetenv("QUARVEL_SETUP");
        unsetenv("QUARVEL_SETUP_MODE");
        unsetenv("QUARVEL_SETUP_WINDOWED");
        setenv("QUARVEL_DISPLAY_MODES", "800x600x32@60,1280x720x32@60,1920x1080x32@60", 1);
        SetDefaultDisplaySettings(GetModuleHandleA(nullptr));
        shownDialog = nullptr;
        inspections = 0;
    }

    INT_PTR Open(DLGPROC procedure) {
        guint watchdog = g_timeout_add_seconds(30, Watchdog, nullptr);
        INT_PTR result = DialogBoxParamA(displaySettings.instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, procedure, 0);
        if (result != 99) g_source_remove(watchdog);
        return result;
    }
    static inline bool started_ = false;
};

// Run arrived: the window must look as the template says and show the model's state.
void Inspect() {
    GtkWidget* window = ShownWidget(shownDialog);
    ASSERT_NE(window, nullptr);
    ++inspections;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)), "Quarvel");
    // The client area is the template's size in the font's dialog units, and DS_CENTER.
    RECT frame = Pixels(RECT{0, 0, 186, 111});
    int width = gtk_widget_get_allocated_width(window), height = gtk_widget_get_allocated_height(window);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(int(frame.right), int(frame.bottom)));
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(window), &x, &y);
    EXPECT_NEAR(x, (kScreenWidth - width) / 2, 1);
    EXPECT_NEAR(y, (kScreenHeight - height) / 2, 1);

    GtkWidget* run = Widget(IDOK);
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(window));
    gtk_container_child_get(GTK_CONTAINER(fixed), run, "x", &x, "y", &y, nullptr);
    RECT expected = Pixels(RECT{7, 90, 57, 104});
    EXPECT_EQ(std::make_tuple(x, y, gtk_widget_get_allocated_width(run), gtk_widget_get_allocated_height(run)),
              std::make_tuple(int(expected.left), int(expected.top), int(expected.right - expected.left),
                              int(expected.bottom - expected.top)));
    EXPECT_EQ(gtk_window_get_default_widget(GTK_WINDOW(window)), run);

    GtkWidget* combo = Widget(IDC_RESOLUTION);
    EXPECT_EQ(gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), nullptr), 3);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(combo)), expectedSelection);
    EXPECT_EQ(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Widget(IDC_WINDOWED))), expectedWindowed);
    EXPECT_FALSE(gtk_widget_get_visible(Widget(IDC_MULTISAMPLING)));

    std::string visible;
    GList* children = gtk_container_get_children(GTK_CONTAINER(fixed));
    for (GList* child = children; child; child = child->next) {
        GtkWidget* widget = GTK_WIDGET(child->data);
        if (!GTK_IS_LABEL(widget) || !gtk_widget_get_visible(widget)) continue;
        std::string text = gtk_label_get_text(GTK_LABEL(widget));
        visible += text + "|";
        float align = text == "Quarvel - Brisvane (Ketra)" ? 0.5f : 1.0f;  // SS_CENTER, else SS_RIGHT
        EXPECT_FLOAT_EQ(gtk_label_get_xalign(GTK_LABEL(widget)), align) << text;
    }
    g_list_free(children);
    EXPECT_EQ(visible, "Resolution:|Windowed|Quarvel - Brisvane (Ketra)|");  // not "Multisampling:"
}

INT_PTR CALLBACK InspectingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) shownDialog = dialog;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) Inspect();
    return SetupDialogProc(dialog, message, wParam, lParam);
}

}  // namespace

TEST_F(ShownDialogTest, WindowFollowsTheTemplateAndEnterPressesRun) {
    // The key's release finds the window gone and xdotool reports that; the dialog's
    // result is what tells whether the press arrived (the watchdog would give 99).
    std::future<int> xdotool = Xdotool("windowfocus --sync %1 key Return");
    ASSERT_EQ(Open(InspectingProc), 1);
    xdotool.wait();
    EXPECT_EQ(inspections, 1);
    EXPECT_EQ(std::make_pair(displaySettings.width, displaySettings.height), std::make_pair(1280, 720));
    // Starting GTK left the C library's locale alone, whatever the environment asks for.
    EXPECT_STREQ(setlocale(LC_ALL, nullptr), "C");
}

namespace {
std::future<int> clicker;

gboolean PickFirstEntry(gpointer) {
    // What a person choosing from the list does to the widget.
    gtk_combo_box_set_active(GTK_COMBO_BOX(Widget(IDC_RESOLUTION)), 0);
    return G_SOURCE_REMOVE;
}

INT_PTR CALLBACK ClickingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = InspectingProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        RECT box = Pixels(RECT{95, 36, 104, 46});
        RECT run = Pixels(RECT{7, 90, 57, 104});
        auto centre = [](const RECT& r) {
            return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
        };
        clicker = Xdotool("mousemove --window %1 " + centre(box) + " click 1 sleep 0.3 " + "mousemove --window %1 " +
                          centre(run) + " click 1");
        g_idle_add(PickFirstEntry, nullptr);
    }
    return result;
}

gboolean CloseWindow(gpointer) {
    gtk_window_close(GTK_WINDOW(ShownWidget(shownDialog)));
    return G_SOURCE_REMOVE;
}

INT_PTR CALLBACK ClosingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) g_idle_add(CloseWindow, nullptr);
    return InspectingProc(dialog, message, wParam, lParam);
}
}  // namespace

TEST_F(ShownDialogTest, ClicksAndChoicesReachTheModel) {
    expectedSelection = 0;
    expectedWindowed = true;
    ASSERT_EQ(Open(ClickingProc), 1);
    EXPECT_EQ(clicker.get(), 0);
    EXPECT_EQ(inspections, 1);
    EXPECT_EQ(std::make_tuple(displaySettings.width, displaySettings.height, displaySettings.windowed),
              std::make_tuple(800, 600, 1));
}

TEST_F(ShownDialogTest, EscapeAndTheCloseBoxCancel) {
    std::future<int> xdotool = Xdotool("windowfocus --sync %1 key Escape");
    EXPECT_EQ(Open(InspectingProc), 0);
    xdotool.wait();
    EXPECT_EQ(Open(ClosingProc), 0);
    EXPECT_EQ(displaySettings.width, 1280);
}
