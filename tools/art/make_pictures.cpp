// Writes every picture of the presentation as PNG into the folder given on the command
// line.
#include <stdio.h>

#include <string>

#include "paint.h"
#include "pictures.h"

namespace art {

const Picture pictures[8] = {
    {"_Ketra_road_scene_background.png", 1920, 1080, PaintBackground},
    {"_Ketra_road_scene_car_1080_opa_win.png", 1920, 1080, PaintCar},
    {"_Ketra_road_scene_car_wheel_134x134.png", 134, 134, PaintWheel134},
    {"_Ketra_road_scene_car_wheel_142x142.png", 142, 142, PaintWheel142},
    {"_neon_sunset_SUN_and_MNTNS.png", 2048, 1024, PaintSunsetSky},
    {"_Ketra_road_scene_billboard_1_nagy2.png", 1168, 800, PaintBillboard1},
    {"_Ketra_road_scene_billboard_2_nagy2.png", 1168, 800, PaintBillboard2},
    {"PellanGrain5.png", 512, 512, PaintGrain},
};

}  // namespace art

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const art::Picture& picture : art::pictures) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
        cairo_t* cr = cairo_create(surface);
        picture.paint(cr);
        const cairo_status_t status = cairo_status(cr);
        cairo_destroy(cr);
        const bool written = status == CAIRO_STATUS_SUCCESS && art::WritePng(surface, folder + "/" + picture.fileName);
        if (status != CAIRO_STATUS_SUCCESS)
            fprintf(stderr, "painting %s failed: %s\n", picture.fileName, cairo_status_to_string(status));
        cairo_surface_destroy(surface);
        if (!written) return 1;
    }
    return 0;
}
