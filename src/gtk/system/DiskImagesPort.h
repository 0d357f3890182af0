#pragma once

#include "platform/DiskImages.h"

namespace pelko::gtk {

// An image file attached to a loop device and mounted, as udisks and
// `mount -o loop` do: the volume's block device has a backing file.
class DiskImagesPort : public DiskImages {
public:
    bool isMountedDiskImage(const std::string& mountPath) const override;
};

}  // namespace pelko::gtk
