#pragma once

#include "platform/DiskImages.h"

namespace pelko::mac {

// DiskArbitration's description of the volume's device: a mounted disk
// image is a device whose model is "Disk Image".
class DiskImagesPort : public DiskImages {
public:
    bool isMountedDiskImage(const std::string& mountPath) const override;
};

}  // namespace pelko::mac
