#pragma once

#include "kelvore/base/interruption.h"
#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/disc.h"

namespace kelvore {

// Reads and checks the image's header, apploader, DOL and FST. Throws ImageError naming the
// problem (and the file's path inside the disc where one is involved), IoError when reading
// fails or once `interrupted` is set.
Disc ReadDisc(const ByteSource& source, const InterruptFlag& interrupted = NeverInterrupted());

}  // namespace kelvore
