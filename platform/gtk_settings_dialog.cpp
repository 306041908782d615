// The settings dialog as a GTK 3 window: resolution, window mode, volumes, sound and names.
#include <gtk/gtk.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/settings_dialog_view.h"

namespace {
constexpr int kVisibleRows = 10;  // the open resolution list shows at most this many rows

struct View {
    SettingsDialogValues* values = nullptr;
    SettingsDialogOutcome outcome = SettingsDialogOutcome::cancelled;
    GMainLoop* loop = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* resolution = nullptr;  // the drop-down button
    GtkWidget* resolutionText = nullptr;
    GtkWidget* popup = nullptr;  // the open list, a window of its own below the button
    GtkWidget* list = nullptr;
    GtkWidget* windowed = nullptr;
    GtkWidget* voice = nullptr;
    GtkWidget* effects = nullptr;
    GtkWidget* music = nullptr;
    GtkWidget* noSound = nullptr;
    GtkWidget* player = nullptr;
    GtkWidget* heroine = nullptr;
    GtkWidget* start = nullptr;
    GtkWidget* cancel = nullptr;
    int selected = -1;
};

// Headless runs and tests set TR2_NO_DIALOGS, or pick a video driver without a screen.
bool dialogsWanted() {
    if (std::getenv("TR2_NO_DIALOGS")) return false;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return !(driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")));
}

void finish(View* view, SettingsDialogOutcome outcome) {
    view->outcome = outcome;
    g_main_loop_quit(view->loop);
}

void select(View* view, int index) {
    const int count = static_cast<int>(view->values->resolutions.size());
    if (index < 0 || index >= count) return;
    view->selected = index;
    gtk_label_set_text(GTK_LABEL(view->resolutionText), view->values->resolutions[index].c_str());
    gtk_list_box_select_row(GTK_LIST_BOX(view->list),
                            gtk_list_box_get_row_at_index(GTK_LIST_BOX(view->list), index));
}

void accept(View* view) {
    SettingsDialogValues& v = *view->values;
    v.selected = view->selected;
    v.windowed = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(view->windowed));
    v.voiceVolume = static_cast<int>(gtk_range_get_value(GTK_RANGE(view->voice)));
    v.effectsVolume = static_cast<int>(gtk_range_get_value(GTK_RANGE(view->effects)));
    v.musicVolume = static_cast<int>(gtk_range_get_value(GTK_RANGE(view->music)));
    v.noSound = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(view->noSound));
    v.playerName = gtk_entry_get_text(GTK_ENTRY(view->player));
    v.heroineName = gtk_entry_get_text(GTK_ENTRY(view->heroine));
    finish(view, SettingsDialogOutcome::accepted);
}

void onStart(GtkButton*, gpointer data) {
    accept(static_cast<View*>(data));
}
void onCancel(GtkButton*, gpointer data) {
    finish(static_cast<View*>(data), SettingsDialogOutcome::cancelled);
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    finish(static_cast<View*>(data), SettingsDialogOutcome::cancelled);
    return TRUE;  // the window goes when the dialog ends
}

void closeList(View* view) {
    if (!gtk_widget_get_visible(view->popup)) return;
    gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(view->popup)));
    gtk_grab_remove(view->popup);
    gtk_widget_hide(view->popup);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view->resolution), FALSE);
    gtk_widget_grab_focus(view->resolution);
}

// The list opens below the button, as wide as the button, with the keyboard on the selected row;
// it takes the pointer and keyboard until it closes.
void openList(View* view) {
    GtkAllocation button;
    gtk_widget_get_allocation(view->resolution, &button);
    gtk_widget_set_size_request(view->popup, button.width, -1);
    gtk_widget_realize(view->popup);
    // Placed against the button by the windowing system (X11 or Wayland), flipped above it when
    // the screen ends below.
    gdk_window_move_to_rect(
        gtk_widget_get_window(view->popup), &button, GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST,
        static_cast<GdkAnchorHints>(GDK_ANCHOR_FLIP_Y | GDK_ANCHOR_SLIDE_X), 0, 0);
    gtk_widget_show_all(view->popup);
    GdkDisplay* display = gtk_widget_get_display(view->popup);
    GtkListBoxRow* row =
        gtk_list_box_get_row_at_index(GTK_LIST_BOX(view->list), std::max(view->selected, 0));
    if (row) gtk_widget_grab_focus(GTK_WIDGET(row));
    GdkSeat* seat = gdk_display_get_default_seat(display);
    if (gdk_seat_grab(seat, gtk_widget_get_window(view->popup), GDK_SEAT_CAPABILITY_ALL, TRUE,
                      nullptr, nullptr, nullptr, nullptr) != GDK_GRAB_SUCCESS) {
        gtk_widget_hide(view->popup);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view->resolution), FALSE);
        return;
    }
    gtk_grab_add(view->popup);
}

void onResolutionToggled(GtkToggleButton* button, gpointer data) {
    auto* view = static_cast<View*>(data);
    if (gtk_toggle_button_get_active(button)) {
        if (!gtk_widget_get_visible(view->popup)) openList(view);
    } else {
        closeList(view);
    }
}

void onRowActivated(GtkListBox*, GtkListBoxRow* row, gpointer data) {
    auto* view = static_cast<View*>(data);
    select(view, gtk_list_box_row_get_index(row));
    closeList(view);
}

// A click anywhere but on the open list closes it.
gboolean onPopupButton(GtkWidget* popup, GdkEventButton* event, gpointer data) {
    GtkAllocation a;
    gtk_widget_get_allocation(popup, &a);
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(popup), &x, &y);
    const double px = event->x_root - x, py = event->y_root - y;
    const bool inside = px >= 0 && py >= 0 && px < a.width && py < a.height;
    if (inside) return FALSE;
    closeList(static_cast<View*>(data));
    return TRUE;
}

gboolean onPopupKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    closeList(static_cast<View*>(data));
    return TRUE;
}

// Up and Down on the closed drop-down step through the sizes, as a drop-down list does.
gboolean onResolutionKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* view = static_cast<View*>(data);
    const int count = static_cast<int>(view->values->resolutions.size());
    if (event->keyval == GDK_KEY_Down || event->keyval == GDK_KEY_KP_Down) {
        select(view, std::min(view->selected + 1, count - 1));
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Up || event->keyval == GDK_KEY_KP_Up) {
        select(view, std::max(view->selected - 1, 0));
        return TRUE;
    }
    return FALSE;
}

// Escape cancels and Return starts from anywhere in the dialog, except inside the open list
// (its own keys) and on 中止 (Return presses the focused button).
gboolean onWindowKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* view = static_cast<View*>(data);
    if (gtk_widget_get_visible(view->popup)) return FALSE;
    const guint key = event->keyval;
    if (key == GDK_KEY_Escape) {
        finish(view, SettingsDialogOutcome::cancelled);
        return TRUE;
    }
    const bool enter = key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter;
    if (enter && gtk_window_get_focus(GTK_WINDOW(view->window)) != view->cancel) {
        accept(view);
        return TRUE;
    }
    return FALSE;
}

GtkWidget* frame(const char* caption, GtkWidget* content) {
    GtkWidget* f = gtk_frame_new(caption);
    gtk_container_set_border_width(GTK_CONTAINER(content), 8);
    gtk_container_add(GTK_CONTAINER(f), content);
    return f;
}

GtkWidget* grid() {
    GtkWidget* g = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(g), 6);
    gtk_grid_set_column_spacing(GTK_GRID(g), 8);
    return g;
}

GtkWidget* label(const char* text) {
    GtkWidget* l = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(l), 1.0f);
    return l;
}

GtkWidget* resolutionBox(View* view) {
    const SettingsDialogValues& v = *view->values;
    view->resolutionText = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(view->resolutionText), 0.0f);
    gtk_widget_set_hexpand(view->resolutionText, TRUE);
    GtkWidget* inner = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(inner), view->resolutionText, TRUE, TRUE, 0);
    gtk_box_pack_end(GTK_BOX(inner),
                     gtk_image_new_from_icon_name("pan-down-symbolic", GTK_ICON_SIZE_BUTTON), FALSE,
                     FALSE, 0);
    view->resolution = gtk_toggle_button_new();
    gtk_container_add(GTK_CONTAINER(view->resolution), inner);
    gtk_widget_set_size_request(view->resolution, 130, -1);
    gtk_widget_set_sensitive(view->resolution, !v.resolutions.empty());

    view->list = gtk_list_box_new();
    gtk_list_box_set_selection_mode(GTK_LIST_BOX(view->list), GTK_SELECTION_BROWSE);
    gtk_list_box_set_activate_on_single_click(GTK_LIST_BOX(view->list), TRUE);
    for (const std::string& item : v.resolutions) {
        GtkWidget* text = gtk_label_new(item.c_str());
        gtk_label_set_xalign(GTK_LABEL(text), 0.0f);
        gtk_widget_set_margin_start(text, 8);
        gtk_widget_set_margin_end(text, 8);
        gtk_widget_set_margin_top(text, 4);
        gtk_widget_set_margin_bottom(text, 4);
        gtk_list_box_insert(GTK_LIST_BOX(view->list), text, -1);
    }
    g_signal_connect(view->list, "row-activated", G_CALLBACK(onRowActivated), view);

    // The open list shows at most ten rows and scrolls through the rest.
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroller), view->list);
    gtk_container_set_focus_vadjustment(
        GTK_CONTAINER(view->list),
        gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scroller)));
    gtk_widget_show_all(scroller);
    GtkListBoxRow* first = gtk_list_box_get_row_at_index(GTK_LIST_BOX(view->list), 0);
    if (first) {
        int rowHeight = 0;
        gtk_widget_get_preferred_height(GTK_WIDGET(first), nullptr, &rowHeight);
        const int rows = std::min(static_cast<int>(v.resolutions.size()), kVisibleRows);
        gtk_widget_set_size_request(scroller, -1, rowHeight * rows + 2);
    }

    view->popup = gtk_window_new(GTK_WINDOW_POPUP);
    gtk_window_set_type_hint(GTK_WINDOW(view->popup), GDK_WINDOW_TYPE_HINT_COMBO);
    gtk_container_add(GTK_CONTAINER(view->popup), scroller);
    g_signal_connect(view->popup, "button-press-event", G_CALLBACK(onPopupButton), view);
    g_signal_connect(view->popup, "key-press-event", G_CALLBACK(onPopupKey), view);
    g_signal_connect(view->resolution, "toggled", G_CALLBACK(onResolutionToggled), view);
    g_signal_connect(view->resolution, "key-press-event", G_CALLBACK(onResolutionKey), view);
    select(view, v.selected);

    view->windowed = gtk_check_button_new_with_label("ウインドウモード");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view->windowed), v.windowed);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_box_pack_start(GTK_BOX(box), view->resolution, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), view->windowed, FALSE, FALSE, 0);
    return frame(" 解像度設定 ", box);
}

GtkWidget* volumeSlider(int value) {
    GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
    gtk_range_set_increments(GTK_RANGE(scale), 1, 10);
    gtk_scale_set_digits(GTK_SCALE(scale), 0);
    gtk_scale_set_value_pos(GTK_SCALE(scale), GTK_POS_RIGHT);
    gtk_range_set_value(GTK_RANGE(scale), std::clamp(value, 0, 100));
    gtk_widget_set_size_request(scale, 160, -1);
    gtk_widget_set_hexpand(scale, TRUE);
    return scale;
}

GtkWidget* volumeBox(View* view) {
    const SettingsDialogValues& v = *view->values;
    GtkWidget* g = grid();
    view->voice = volumeSlider(v.voiceVolume);
    view->effects = volumeSlider(v.effectsVolume);
    view->music = volumeSlider(v.musicVolume);
    gtk_grid_attach(GTK_GRID(g), label("ボイス"), 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(g), view->voice, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(g), label("効果音"), 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(g), view->effects, 1, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(g), label("ＢＧＭ"), 0, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(g), view->music, 1, 2, 1, 1);
    view->noSound = gtk_check_button_new_with_label("サウンドを使用しない");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view->noSound), v.noSound);
    gtk_widget_set_margin_top(view->noSound, 4);
    gtk_grid_attach(GTK_GRID(g), view->noSound, 0, 3, 2, 1);
    return frame(" 音量設定 ", g);
}

GtkWidget* nameEntry(const std::string& text) {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 12);
    gtk_widget_set_hexpand(entry, TRUE);
    return entry;
}

GtkWidget* nameBox(View* view) {
    const SettingsDialogValues& v = *view->values;
    GtkWidget* g = grid();
    view->player = nameEntry(v.playerName);
    view->heroine = nameEntry(v.heroineName);
    gtk_grid_attach(GTK_GRID(g), label("兄"), 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(g), view->player, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(g), label("妹"), 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(g), view->heroine, 1, 1, 1, 1);
    return frame(" キャラ名設定 ", g);
}

GtkWidget* buttonBox(View* view) {
    GtkWidget* box = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(box), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(box), 8);
    view->cancel = gtk_button_new_with_label("中止");
    view->start = gtk_button_new_with_label("開始");
    gtk_style_context_add_class(gtk_widget_get_style_context(view->start), "suggested-action");
    gtk_widget_set_can_default(view->start, TRUE);
    gtk_container_add(GTK_CONTAINER(box), view->cancel);
    gtk_container_add(GTK_CONTAINER(box), view->start);
    g_signal_connect(view->start, "clicked", G_CALLBACK(onStart), view);
    g_signal_connect(view->cancel, "clicked", G_CALLBACK(onCancel), view);
    return box;
}

void setIcon(GtkWindow* window, const WindowIcon& icon) {
    if (!icon.argb || icon.width <= 0 || icon.height <= 0) return;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, icon.width, icon.height);
    if (!pixbuf) return;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < icon.height; ++y) {
        for (int x = 0; x < icon.width; ++x) {
            const uint32_t argb = icon.argb[y * icon.width + x];
            guchar* p = pixels + y * stride + x * 4;
            p[0] = static_cast<guchar>(argb >> 16);
            p[1] = static_cast<guchar>(argb >> 8);
            p[2] = static_cast<guchar>(argb);
            p[3] = static_cast<guchar>(argb >> 24);
        }
    }
    gtk_window_set_icon(window, pixbuf);
    g_object_unref(pixbuf);
}

void build(View* view) {
    view->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(view->window);
    gtk_window_set_title(window, "Tavrel 2 - 設定");
    gtk_window_set_role(window, "SETTINGS");
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    setIcon(window, view->values->icon);

    // Resolution above the names on the left, volumes on the right with the buttons below them.
    GtkWidget* left = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_box_pack_start(GTK_BOX(left), resolutionBox(view), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(left), nameBox(view), TRUE, TRUE, 0);
    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_box_pack_start(GTK_BOX(right), volumeBox(view), FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(right), buttonBox(view), FALSE, FALSE, 0);
    GtkWidget* layout = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
    gtk_container_set_border_width(GTK_CONTAINER(layout), 12);
    gtk_box_pack_start(GTK_BOX(layout), left, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(layout), right, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(view->window), layout);

    gtk_window_set_transient_for(GTK_WINDOW(view->popup), window);
    gtk_window_set_default(window, view->start);
    g_signal_connect(view->window, "delete-event", G_CALLBACK(onDelete), view);
    g_signal_connect(view->window, "key-press-event", G_CALLBACK(onWindowKey), view);
}

// GTK needs the user's locale for input methods and Japanese text, but the rest of the
// program reads numbers in the C locale: take it for the dialog only.
class UserLocale {
public:
    UserLocale() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved_ = current ? current : "C";
        std::setlocale(LC_ALL, "");
    }
    ~UserLocale() { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

bool startGtk() {
    static const bool started = [] {
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return started;
}
}  // namespace

SettingsDialogOutcome runSettingsDialog(SettingsDialogValues& values) {
    if (!dialogsWanted()) return SettingsDialogOutcome::unavailable;
    UserLocale locale;
    if (!startGtk()) return SettingsDialogOutcome::unavailable;

    View view;
    view.values = &values;
    view.selected = values.selected;
    view.loop = g_main_loop_new(nullptr, FALSE);
    build(&view);
    gtk_widget_show_all(view.window);
    gtk_widget_grab_focus(view.start);
    g_main_loop_run(view.loop);

    // The dialog is gone from the screen before the game's window appears.
    closeList(&view);
    gtk_widget_destroy(view.popup);
    gtk_widget_destroy(view.window);
    // Nothing answers for a copied name once the game runs: a clipboard manager may keep it,
    // otherwise it goes rather than leave other programs waiting for it.
    for (GdkAtom selection : {GDK_SELECTION_CLIPBOARD, GDK_SELECTION_PRIMARY}) {
        GtkClipboard* clipboard = gtk_clipboard_get(selection);
        gtk_clipboard_store(clipboard);
        gtk_clipboard_clear(clipboard);
    }
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    gdk_display_flush(gdk_display_get_default());
    g_main_loop_unref(view.loop);
    return view.outcome;
}
