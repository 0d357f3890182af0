#pragma once

#include <string>

namespace pelko {

// Which mounted volumes are disk images: an image file mounted as a disk,
// which can be detached without taking a device away from anyone.
class DiskImages {
public:
    virtual ~DiskImages() = default;
    // Whether the volume mounted at `mountPath` is a disk image. False for a
    // drive, a partition of one or a network volume, for a path where no
    // volume is mounted, and whenever the platform cannot tell.
    virtual bool isMountedDiskImage(const std::string& mountPath) const = 0;
};

}  // namespace pelko
