#pragma once

#include "disc/byte_source.h"
#include "disc/image_plan.h"
#include "tool/output_file.h"
#include "tool/piece_chunks.h"

namespace kelvore {

// Writes the planned pieces, sets the image's full size (the gaps stay holes) and flushes.
void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control);

}  // namespace kelvore
