// GtkMainWindow's controls: made, placed and read by id.
#include "platform/gtk/GtkMainWindow.h"

#include "core/TextEncoding.h"
#include "platform/gtk/CairoPainter.h"
#include "ui/ButtonFace.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr int kComboHeight = 21; // the closed box; the list drops below it
} // namespace

GtkWidget* GtkMainWindow::makeButton(Control& control)
{
    GtkWidget* area = gtk_drawing_area_new();
    // Buttons take the tab key; Enter and space press the focused one.
    gtk_widget_set_can_focus(area, TRUE);
    gtk_widget_add_events(area,
                          GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK | GDK_FOCUS_CHANGE_MASK);
    g_signal_connect(area, "draw", G_CALLBACK(drawButton), &control);
    g_signal_connect(area, "button-press-event", G_CALLBACK(pressButton), &control);
    g_signal_connect(area, "button-release-event", G_CALLBACK(releaseButton), &control);
    g_signal_connect(area, "key-press-event", G_CALLBACK(keyOnButton), &control);
    g_signal_connect(area, "focus-in-event", G_CALLBACK(focusChanged), nullptr);
    g_signal_connect(area, "focus-out-event", G_CALLBACK(focusChanged), nullptr);
    return area;
}

GtkWidget* GtkMainWindow::makeCheckBox(Control& control)
{
    GtkWidget* box = gtk_check_button_new();
    g_signal_connect(box, "toggled", G_CALLBACK(checkToggled), &control);
    control.input = box;
    return box;
}

GtkWidget* GtkMainWindow::makeEdit(Control& control)
{
    const ControlSpec& layout = control.layout;
    if (layout.style & StyleMultiLine) {
        GtkWidget* view = gtk_text_view_new();
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        gtk_text_buffer_set_text(buffer, layout.caption.c_str(), -1);
        g_signal_connect(buffer, "changed", G_CALLBACK(editChanged), &control);
        GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
        gtk_container_add(GTK_CONTAINER(scroller), view);
        gtk_widget_show(view);
        control.input = view;
        return scroller;
    }
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), displayText(layout.caption).c_str());
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
    if (layout.style & StylePassword)
        gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
    if (layout.style & StyleRightAligned)
        gtk_entry_set_alignment(GTK_ENTRY(entry), 1.0f);
    if (layout.style & StyleDigitsOnly)
        g_signal_connect(entry, "insert-text", G_CALLBACK(digitsOnly), nullptr);
    g_signal_connect(entry, "changed", G_CALLBACK(editChanged), &control);
    control.input = entry;
    return entry;
}

bool GtkMainWindow::createControl(const ControlSpec& layout)
{
    auto control = std::make_unique<Control>();
    control->layout = layout;
    control->owner = this;
    int height = layout.height;
    GtkWidget* widget = nullptr;
    switch (layout.kind) {
    case ControlKind::Button:
        widget = makeButton(*control);
        break;
    case ControlKind::Edit:
        widget = makeEdit(*control);
        break;
    case ControlKind::CheckBox:
        widget = makeCheckBox(*control);
        break;
    case ControlKind::Combo:
        widget = control->input = gtk_combo_box_text_new();
        height = std::min(height, kComboHeight);
        break;
    case ControlKind::Progress:
        widget = control->input = gtk_progress_bar_new();
        break;
    }
    if (!widget)
        return false;
    gtk_widget_set_name(widget, "qvl-control");
    gtk_widget_set_size_request(widget, layout.width, height);
    gtk_fixed_put(GTK_FIXED(layer), widget, layout.x, layout.y);
    if (layout.style & StyleVisible)
        gtk_widget_show(widget);
    control->widget = widget;
    controls.push_back(std::move(control));
    return true;
}

gboolean GtkMainWindow::drawButton(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    auto* c = static_cast<Control*>(data);
    ButtonState state;
    state.titleStyle = (c->layout.style & StyleTitleButton) != 0;
    state.highlighted = c->highlighted;
    state.enabled = c->lookEnabled;
    state.pressed = c->pressed;
    state.focused = gtk_widget_has_focus(widget);
    CairoPainter painter(cr, nullptr);
    ButtonFace::draw(painter, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget),
                     c->layout.caption, state);
    return TRUE;
}

gboolean GtkMainWindow::keyOnButton(GtkWidget*, GdkEventKey* event, gpointer data)
{
    switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: {
        auto* c = static_cast<Control*>(data);
        c->owner->command(c->layout.id);
        return TRUE;
    }
    default:
        return FALSE; // tab and the rest move the focus as usual
    }
}

gboolean GtkMainWindow::focusChanged(GtkWidget* widget, GdkEventFocus*, gpointer)
{
    gtk_widget_queue_draw(widget);
    return FALSE;
}

void GtkMainWindow::checkToggled(GtkToggleButton*, gpointer data)
{
    auto* c = static_cast<Control*>(data);
    // Only the pilot's clicks are commands, not the user interface's own setCheck.
    if (!c->owner->settingCheck)
        c->owner->command(c->layout.id);
}

gboolean GtkMainWindow::pressButton(GtkWidget* widget, GdkEventButton* event, gpointer data)
{
    auto* c = static_cast<Control*>(data);
    if (event->button == 1 && event->type == GDK_BUTTON_PRESS) {
        gtk_widget_grab_focus(widget);
        c->pressed = true;
        gtk_widget_queue_draw(widget);
    }
    return TRUE;
}

gboolean GtkMainWindow::releaseButton(GtkWidget* widget, GdkEventButton* event, gpointer data)
{
    auto* c = static_cast<Control*>(data);
    if (event->button != 1 || !c->pressed)
        return TRUE;
    c->pressed = false;
    gtk_widget_queue_draw(widget);
    const bool inside = event->x >= 0 && event->y >= 0 && event->x < gtk_widget_get_allocated_width(widget) &&
                        event->y < gtk_widget_get_allocated_height(widget);
    if (inside)
        c->owner->command(c->layout.id);
    return TRUE;
}

void GtkMainWindow::editChanged(GtkWidget*, gpointer data)
{
    auto* c = static_cast<Control*>(data);
    if (c->owner->events)
        c->owner->events->onEditChanged(c->layout.id);
}

void GtkMainWindow::digitsOnly(GtkEditable* editable, gchar* text, gint length, gint*, gpointer)
{
    for (gint i = 0; i < length; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            g_signal_stop_emission_by_name(editable, "insert-text");
            return;
        }
    }
}

void GtkMainWindow::showControl(int id, bool visible)
{
    if (Control* c = find(id))
        gtk_widget_set_visible(c->widget, visible);
}

void GtkMainWindow::enableControl(int id, bool enabled)
{
    if (Control* c = find(id))
        gtk_widget_set_sensitive(c->widget, enabled);
}

void GtkMainWindow::setButtonLook(int id, bool highlighted, bool enabled)
{
    if (Control* c = find(id)) {
        c->highlighted = highlighted;
        c->lookEnabled = enabled;
        gtk_widget_queue_draw(c->widget);
    }
}

std::string GtkMainWindow::getControlText(int id)
{
    Control* c = find(id);
    if (!c || c->layout.kind != ControlKind::Edit)
        return {};
    if (GTK_IS_TEXT_VIEW(c->input)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->input));
        GtkTextIter start;
        GtkTextIter end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
        std::string result = text ? text : "";
        g_free(text);
        return result;
    }
    return gtk_entry_get_text(GTK_ENTRY(c->input));
}

void GtkMainWindow::setControlText(int id, const std::string& text)
{
    Control* c = find(id);
    if (!c || c->layout.kind != ControlKind::Edit)
        return;
    if (GTK_IS_TEXT_VIEW(c->input))
        gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->input)), displayText(text).c_str(), -1);
    else
        gtk_entry_set_text(GTK_ENTRY(c->input), displayText(text).c_str());
}

bool GtkMainWindow::getCheck(int id)
{
    Control* c = find(id);
    return c && c->layout.kind == ControlKind::CheckBox && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->input));
}

void GtkMainWindow::setCheck(int id, bool checked)
{
    Control* c = find(id);
    if (c && c->layout.kind == ControlKind::CheckBox) {
        settingCheck = true;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->input), checked);
        settingCheck = false;
    }
}

void GtkMainWindow::setComboItems(int id, const std::vector<std::string>& items, int selected)
{
    Control* c = find(id);
    if (!c || c->layout.kind != ControlKind::Combo)
        return;
    GtkComboBoxText* combo = GTK_COMBO_BOX_TEXT(c->input);
    gtk_combo_box_text_remove_all(combo);
    for (const std::string& item : items)
        gtk_combo_box_text_append_text(combo, displayText(item).c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), selected);
}

int GtkMainWindow::getComboSelection(int id)
{
    Control* c = find(id);
    if (!c || c->layout.kind != ControlKind::Combo)
        return -1;
    return gtk_combo_box_get_active(GTK_COMBO_BOX(c->input));
}

void GtkMainWindow::setProgress(int id, double fraction)
{
    Control* c = find(id);
    if (c && c->layout.kind == ControlKind::Progress)
        gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(c->input), std::clamp(fraction, 0.0, 1.0));
}
