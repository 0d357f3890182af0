#pragma once

namespace pelko::gtk {

// Whether this machine draws without a GPU: it has no DRM render node (a
// virtual machine, a container, a headless server running Xvfb). There, GL
// runs on a software rasterizer that costs start-up time and memory and buys
// nothing: GTK's cairo renderer and WebKit without compositing draw the same
// window for less. With a GPU both keep their GL paths.
bool drawsWithoutGpu();

// Before GTK opens the display and before the first web view: where there is
// no GPU, GTK's cairo renderer, GDK without GL and WebKit without compositing
// (the web processes inherit the settings), unless the user chose otherwise
// in the same variables.
void preferSoftwareDrawingWithoutGpu();

}  // namespace pelko::gtk
