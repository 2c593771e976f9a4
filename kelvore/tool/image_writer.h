#pragma once

#include <cstdint>

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Written data goes to the storage in windows of this size, each started as soon as it is
// written and waited for once the next one is: one window takes under a second even on a
// disk of 20 MB/s, so the progress shown follows the disk, not the system's cache, and an
// interruption is honoured within about a second.
inline constexpr std::uint64_t kWriteBackWindow = 16 * 1024 * 1024;

// Gives the output the image's full size first (a full disk or a file-size limit shows
// before any data is written), then writes the planned pieces in ascending order, pushing
// them to the storage window by window; the gaps stay holes. Returns once everything
// written has reached the storage.
void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control);

}  // namespace kelvore
