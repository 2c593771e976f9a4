#pragma once

#include <functional>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc.h"
#include "kelvore/tool/command_line.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/source_image.h"

namespace kelvore {

// --info and --hash: the disc report, then the image's checksums, reading the image only.
// Returns the exit code: 0; 2 for an invalid image (--info), whose checksums are still shown
// when asked for; 3 for a read failure, an interruption, or an image that changed while its
// checksums were computed. `on_disc`, where given, learns what the disc is once --info has
// checked it.
int RunInspection(const InspectRequest& request, const SourceOpener& open_source, Console& console,
                  const InterruptFlag& interrupted,
                  const std::function<void(const Disc&)>& on_disc = {});

}  // namespace kelvore
