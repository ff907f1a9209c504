#include "gtk_dialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/log_once.h"

namespace quarvel::dialog {
namespace {

constexpr uint32_t kStaticTypeMask = 0x1F;

bool StartGtk() {
    static int state = 0;  // 0: not tried, 1: running, -1: cannot start
    if (state == 0) {
        // GTK would switch the C library to the user's locale, and the rest of the program
        // formats and parses numbers expecting the "C" locale it starts with on Windows.
        gtk_disable_setlocale();
        state = gtk_init_check(nullptr, nullptr) ? 1 : -1;
        if (state < 0)
            core::LogOnce("dialog", "DialogBoxParamA",
                          "GTK cannot open the display; the dialog runs as if Run were pressed");
    }
    return state > 0;
}

std::string ValidUtf8(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

// Windows marks a mnemonic with '&' ("&&" is a literal one); GTK with '_'.
std::string MnemonicText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            } else if (i + 1 < text.size()) {
                out += '_';
            }
        } else if (c == '_') {
            out += "__";
        } else {
            out += c;
        }
    }
    return ValidUtf8(out);
}

std::string CssString(const std::string& text) {
    std::string out = "\"";
    for (char c : ValidUtf8(text)) {
        if (c == '"' || c == '\\') out += '\\';
        if (c != '\n' && c != '\r') out += c;
    }
    return out + "\"";
}

class GtkDialogView final : public DialogView {
public:
    explicit GtkDialogView(Dialog& dialog);
    ~GtkDialogView() override;

    void ItemInserted(Control& control, int index) override;
    void ItemsCleared(Control& control) override;
    void SelectionChanged(Control& control) override;
    void CheckChanged(Control& control) override;
    void Show(Control* focus) override;
    void RunUntilEnded() override;

    GtkWidget* Window() const { return window_; }
    GtkWidget* WidgetOf(const Control* control) const;

private:
    struct Slot {
        GtkDialogView* view;
        Control* control;
        GtkWidget* widget;
    };

    void ApplyStyle();
    GtkWidget* BuildWidget(Slot& slot);
    Control* FocusedControl() const;

    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data);
    static void OnClicked(GtkButton*, gpointer data);
    static void OnChanged(GtkComboBox*, gpointer data);

    Dialog& dialog_;
    GtkWidget* window_ = nullptr;
    GtkWidget* fixed_ = nullptr;
    GtkCssProvider* css_ = nullptr;
    std::vector<std::unique_ptr<Slot>> slots_;
    int syncing_ = 0;  // model-driven widget changes must not come back as user actions
};

GtkDialogView::GtkDialogView(Dialog& dialog) : dialog_(dialog) {
    static unsigned serial = 0;
    char name[48];
    std::snprintf(name, sizeof name, "quarvel-dialog-%u", ++serial);

    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window_);
    gtk_widget_set_name(window_, name);
    gtk_window_set_title(GTK_WINDOW(window_), ValidUtf8(dialog.title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_decorated(GTK_WINDOW(window_), (dialog.style & WS_CAPTION) == WS_CAPTION);
    gtk_window_set_deletable(GTK_WINDOW(window_), (dialog.style & WS_SYSMENU) != 0);
    ApplyStyle();

    RECT client = dialog.PixelRect();
    fixed_ = gtk_fixed_new();
    gtk_widget_set_size_request(fixed_, client.right - client.left, client.bottom - client.top);
    gtk_container_add(GTK_CONTAINER(window_), fixed_);
    gtk_widget_show(fixed_);
    if (dialog.style & DS_CENTER) {
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    } else {
        gtk_window_move(GTK_WINDOW(window_), client.left, client.top);
    }

    for (const auto& control : dialog.controls) {
        auto slot = std::make_unique<Slot>(Slot{this, control.get(), nullptr});
        slot->widget = BuildWidget(*slot);
        RECT r = dialog.PixelRect(*control);
        // A combo box's height in the template includes its drop-down list; closed, it is
        // as tall as its font makes it.
        int height = control->controlClass == ControlClass::ComboBox ? -1 : r.bottom - r.top;
        gtk_widget_set_size_request(slot->widget, r.right - r.left, height);
        gtk_fixed_put(GTK_FIXED(fixed_), slot->widget, r.left, r.top);
        gtk_widget_set_sensitive(slot->widget, control->Enabled());
        if (control->Visible()) gtk_widget_show(slot->widget);
        slots_.push_back(std::move(slot));
    }
    // A static's mnemonic moves the focus to the next control that takes it, as on Windows.
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i]->control->controlClass != ControlClass::Static) continue;
        for (size_t j = i + 1; j < slots_.size(); ++j) {
            if (slots_[j]->control->style & WS_TABSTOP) {
                gtk_label_set_mnemonic_widget(GTK_LABEL(slots_[i]->widget), slots_[j]->widget);
                break;
            }
        }
    }
    if (Control* button = dialog.FindControl(dialog.DefaultButtonId())) {
        if (GtkWidget* widget = WidgetOf(button); widget && GTK_IS_BUTTON(widget)) {
            gtk_widget_set_can_default(widget, TRUE);
            gtk_window_set_default(GTK_WINDOW(window_), widget);
        }
    }
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
}

GtkDialogView::~GtkDialogView() {
    if (css_) {
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_));
        g_object_unref(css_);
    }
    gtk_widget_destroy(window_);
    g_object_unref(window_);
    // Let the window leave the screen before whatever the program opens next.
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// The template's font on every control, and controls no bigger than their template says:
// the theme's padding would otherwise push buttons past their dialog-unit size.
void GtkDialogView::ApplyStyle() {
    std::string id = std::string("#") + gtk_widget_get_name(window_);
    std::string css;
    if (dialog_.hasFont) {
        css += id + ", " + id + " * { font-family: " + CssString(dialog_.font.face) +
               "; font-size: " + std::to_string(dialog_.font.pixelHeight) + "px; font-weight: " +
               std::to_string(dialog_.font.weight) + "; font-style: " + (dialog_.font.italic ? "italic" : "normal") +
               "; }\n";
    }
    css += id + " button, " + id + " combobox button { padding: 0 4px; min-height: 0; min-width: 0; }\n";
    css += id + " checkbutton { padding: 0; min-height: 0; }\n";
    css_ = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

GtkWidget* GtkDialogView::BuildWidget(Slot& slot) {
    Control& control = *slot.control;
    char what[64];
    switch (control.controlClass) {
    case ControlClass::Button: {
        GtkWidget* button = nullptr;
        if (control.IsCheckBox()) {
            button = control.text.empty() ? gtk_check_button_new()
                                          : gtk_check_button_new_with_mnemonic(MnemonicText(control.text).c_str());
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), control.check == BST_CHECKED);
        } else {
            if (!control.IsPushButton()) {
                std::snprintf(what, sizeof what, "button type 0x%X (shown as a push button)", control.ButtonType());
                core::LogOnce("dialog", "DialogBoxParamA", std::string("not supported: ") + what);
            }
            button = gtk_button_new_with_mnemonic(MnemonicText(control.text).c_str());
        }
        g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), &slot);
        return button;
    }
    case ControlClass::Static: {
        GtkWidget* label = (control.style & SS_NOPREFIX) ? gtk_label_new(ValidUtf8(control.text).c_str())
                                                         : gtk_label_new_with_mnemonic(MnemonicText(control.text).c_str());
        uint32_t type = control.style & kStaticTypeMask;
        if (type > SS_RIGHT) {
            std::snprintf(what, sizeof what, "static type 0x%X (shown as text)", type);
            core::LogOnce("dialog", "DialogBoxParamA", std::string("not supported: ") + what);
        }
        gtk_label_set_xalign(GTK_LABEL(label), type == SS_CENTER ? 0.5f : type == SS_RIGHT ? 1.0f : 0.0f);
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
        // Clipped to its rectangle like a Windows static, not grown to fit the text.
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
        return label;
    }
    case ControlClass::ComboBox: {
        if ((control.style & 0x3) != CBS_DROPDOWNLIST) {
            core::LogOnce("dialog", "DialogBoxParamA",
                          "not supported: an editable combo box (shown as a drop-down list)");
        }
        GtkWidget* combo = gtk_combo_box_text_new();
        for (const std::string& item : control.items) {
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), ValidUtf8(item).c_str());
        }
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo), control.selection);
        g_signal_connect(combo, "changed", G_CALLBACK(OnChanged), &slot);
        return combo;
    }
    default:
        std::snprintf(what, sizeof what, "a control of class %s%s (left blank)",
                      control.windowClass.isOrdinal ? "#" : "",
                      control.windowClass.isOrdinal ? std::to_string(control.windowClass.ordinal).c_str()
                                                    : control.windowClass.text.c_str());
        core::LogOnce("dialog", "DialogBoxParamA", std::string("not supported: ") + what);
        return gtk_label_new("");
    }
}

GtkWidget* GtkDialogView::WidgetOf(const Control* control) const {
    if (!control) return window_;
    for (const auto& slot : slots_) {
        if (slot->control == control) return slot->widget;
    }
    return nullptr;
}

Control* GtkDialogView::FocusedControl() const {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
    if (!focus) return nullptr;
    for (const auto& slot : slots_) {
        if (focus == slot->widget || gtk_widget_is_ancestor(focus, slot->widget)) return slot->control;
    }
    return nullptr;
}

void GtkDialogView::ItemInserted(Control& control, int index) {
    GtkWidget* widget = WidgetOf(&control);
    if (!widget || !GTK_IS_COMBO_BOX_TEXT(widget)) return;
    ++syncing_;
    gtk_combo_box_text_insert_text(GTK_COMBO_BOX_TEXT(widget), index,
                                   ValidUtf8(control.items[static_cast<size_t>(index)]).c_str());
    --syncing_;
}

void GtkDialogView::ItemsCleared(Control& control) {
    GtkWidget* widget = WidgetOf(&control);
    if (!widget || !GTK_IS_COMBO_BOX_TEXT(widget)) return;
    ++syncing_;
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(widget));
    --syncing_;
}

void GtkDialogView::SelectionChanged(Control& control) {
    GtkWidget* widget = WidgetOf(&control);
    if (!widget || !GTK_IS_COMBO_BOX(widget)) return;
    ++syncing_;
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget), control.selection);
    --syncing_;
}

void GtkDialogView::CheckChanged(Control& control) {
    GtkWidget* widget = WidgetOf(&control);
    if (!widget || !GTK_IS_TOGGLE_BUTTON(widget)) return;
    ++syncing_;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), control.check == BST_CHECKED);
    --syncing_;
}

void GtkDialogView::Show(Control* focus) {
    if (GtkWidget* widget = WidgetOf(focus); focus && widget) gtk_widget_grab_focus(widget);
    gtk_widget_show(window_);
    gtk_window_present(GTK_WINDOW(window_));
}

void GtkDialogView::RunUntilEnded() {
    while (!dialog_.ended) gtk_main_iteration_do(TRUE);
}

gboolean GtkDialogView::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* view = static_cast<GtkDialogView*>(data);
    // The dialog procedure decides; by default the close box is Cancel.
    if (!view->dialog_.ended) view->dialog_.Send(WM_CLOSE, 0, 0);
    return TRUE;
}

gboolean GtkDialogView::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* view = static_cast<GtkDialogView*>(data);
    switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: PressEnter(view->dialog_, view->FocusedControl()); return TRUE;
    case GDK_KEY_Escape: PressEscape(view->dialog_); return TRUE;
    default: return FALSE;
    }
}

void GtkDialogView::OnClicked(GtkButton* button, gpointer data) {
    auto* slot = static_cast<Slot*>(data);
    GtkDialogView* view = slot->view;
    if (view->syncing_) return;
    Control& control = *slot->control;
    if (control.IsCheckBox()) {
        // GTK has already toggled the box; the model decides whether it stays toggled.
        ++view->syncing_;
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), control.check == BST_CHECKED);
        --view->syncing_;
    }
    ClickControl(control);
}

void GtkDialogView::OnChanged(GtkComboBox* combo, gpointer data) {
    auto* slot = static_cast<Slot*>(data);
    if (slot->view->syncing_ || slot->control->dialog->ended) return;
    Control& control = *slot->control;
    control.selection = gtk_combo_box_get_active(combo);
    SendCommand(*control.dialog, control.id, CBN_SELCHANGE, &control);
}

}  // namespace

std::unique_ptr<DialogView> CreateGtkDialogView(Dialog& dialog) {
    if (!StartGtk()) return nullptr;
    return std::make_unique<GtkDialogView>(dialog);
}

GtkWidget* ShownWidget(HWND window) {
    Dialog* dialog = DialogFromHwnd(window);
    Control* control = dialog ? nullptr : ControlFromHwnd(window);
    Dialog* owner = dialog ? dialog : control ? control->dialog : nullptr;
    auto* view = owner ? dynamic_cast<GtkDialogView*>(owner->view) : nullptr;
    if (!view || !gtk_widget_get_visible(view->Window())) return nullptr;
    return view->WidgetOf(control);
}

}  // namespace quarvel::dialog
