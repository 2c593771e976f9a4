#pragma once

#include <memory>
#include <string>

#include "kelvore/tool/console.h"
#include "kelvore/tool/source_image.h"

namespace kelvore {

// Opens the image at `path` with `open_file`. A CISO file (one that starts with "CISO") is
// read as the whole image it stands for (see ciso::Image::Open), and `console` is told so:
// its blocks, and the image size taken, which its header does not hold. Throws ImageError
// for a CISO file that is cut short or malformed.
std::unique_ptr<SourceImage> OpenImageOrCiso(const SourceOpener& open_file, const std::string& path,
                                             Console& console);

}  // namespace kelvore
