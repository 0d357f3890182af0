#include "gtk/system/DiskImagesPort.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>

namespace pelko::gtk {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

}  // namespace

bool DiskImagesPort::isMountedDiskImage(const std::string& mountPath) const {
    struct stat volume {};
    struct stat above {};
    if (stat(mountPath.c_str(), &volume) != 0 || stat((mountPath + "/..").c_str(), &above) != 0) return false;
    // A folder on the volume above it is no mount point ("/" is its own parent).
    const bool isRoot = volume.st_dev == above.st_dev && volume.st_ino == above.st_ino;
    if (volume.st_dev == above.st_dev && !isRoot) return false;
    // sysfs names the device by number; a loop device shows its file there, a
    // partition of one under its whole device.
    const std::string device = "/sys/dev/block/" + std::to_string(major(volume.st_dev)) + ":" +
                                std::to_string(minor(volume.st_dev));
    return exists(device + "/loop/backing_file") ||
           (exists(device + "/partition") && exists(device + "/../loop/backing_file"));
}

}  // namespace pelko::gtk
