#pragma once

#include <cstddef>

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// The new image is read back in blocks of this size, a multiple of every sector size a
// StorageReader reports. Unbuffered reads of 1 MiB kept the storage measured at its full
// speed; reads of 4 and 16 MiB were slower.
inline constexpr std::size_t kReadBackBlock = 1024 * 1024;

// Reads the whole new image back through `reader`, front to back in sector-aligned blocks,
// and compares every byte with what the plan puts there: the rewritten header and FST, the
// source's bytes, and zeros between them. Throws IoError naming the first place that
// differs. Progress counts bytes of the image.
void VerifyImage(const ImagePlan& plan, const ByteSource& source, StorageReader& reader,
                 const TransferControl& control);

}  // namespace kelvore
