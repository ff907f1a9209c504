#include "font_metrics.h"

#include <pango/pangocairo.h>

namespace quarvel::dialog {

DialogFont DialogFontFromTemplate(const std::string& face, int pointSize, int weight, bool italic) {
    DialogFont font;
    font.face = face;
    // 0x7FFF asks for the message-box font on Windows; 8 points is what that is by default.
    if (pointSize <= 0 || pointSize >= 0x7FFF) pointSize = 8;
    font.pixelHeight = PointsToPixels(pointSize, kDialogDpi);
    font.weight = weight > 0 && weight <= 1000 ? weight : 400;
    font.italic = italic;
    return font;
}

bool MeasureBaseUnits(const DialogFont& font, BaseUnits* units, std::string* family) {
    if (font.pixelHeight <= 0) return false;
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    // GDI lays text out with hinted, whole-pixel advances.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.face.empty() ? "Sans" : font.face.c_str());
    pango_font_description_set_absolute_size(description, font.pixelHeight * PANGO_SCALE);
    pango_font_description_set_weight(description, static_cast<PangoWeight>(font.weight));
    pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

    bool measured = false;
    PangoFont* loaded = pango_font_map_load_font(map, context, description);
    if (loaded) {
        PangoFontMetrics* metrics = pango_font_get_metrics(loaded, nullptr);
        int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)) +
                     PANGO_PIXELS(pango_font_metrics_get_descent(metrics));
        pango_font_metrics_unref(metrics);

        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, description);
        pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        int width = PANGO_PIXELS(logical.width);
        g_object_unref(layout);

        if (family) {
            PangoFontDescription* used = pango_font_describe(loaded);
            const char* name = pango_font_description_get_family(used);
            *family = name ? name : "";
            pango_font_description_free(used);
        }
        g_object_unref(loaded);
        units->x = AverageCharWidth(width);
        units->y = height;
        measured = units->x > 0 && units->y > 0;
    }
    pango_font_description_free(description);
    g_object_unref(context);
    g_object_unref(map);
    return measured;
}

}  // namespace quarvel::dialog
