#include "gtk/app/SoftwareDrawing.h"

#include <glib.h>

#include <string_view>

namespace pelko::gtk {

bool drawsWithoutGpu() {
    static const bool withoutGpu = [] {
        GDir* devices = g_dir_open("/dev/dri", 0, nullptr);
        if (!devices) return true;
        bool renderNode = false;
        while (const char* name = g_dir_read_name(devices)) renderNode |= std::string_view(name).starts_with("renderD");
        g_dir_close(devices);
        return !renderNode;
    }();
    return withoutGpu;
}

void preferSoftwareDrawingWithoutGpu() {
    if (!drawsWithoutGpu()) return;
    g_setenv("GSK_RENDERER", "cairo", FALSE);
    g_setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", FALSE);
    // Nor does GDK set up GL, which it would do on opening the display in this
    // process and in each web process, for a renderer that does not use it.
    g_setenv("GDK_DEBUG", "gl-disable", FALSE);
}

}  // namespace pelko::gtk
