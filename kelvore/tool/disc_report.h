#pragma once

#include <string>

#include "kelvore/base/interruption.h"
#include "kelvore/disc/disc.h"
#include "kelvore/tool/console.h"

namespace kelvore {

// The --info report: what the disc is and how it would rebuild, from its header, header
// information, apploader, DOL and FST alone (no file data is read). The streaming audio
// files are listed as they are found, so the memory it takes stays small.
void ShowDiscReport(Console& console, const Disc& disc, const std::string& image_path,
                    const InterruptFlag& interrupted);

}  // namespace kelvore
