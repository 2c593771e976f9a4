#pragma once

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Gives the output the image's full size first (a full disk or a file-size limit shows
// before any data is written), then writes the planned pieces in ascending order, pushing
// them to the storage window by window (see WriteBack); the gaps stay holes. Returns once
// everything written has reached the storage.
void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control);

}  // namespace kelvore
