#pragma once

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Writes the planned pieces and sets the image's full size; the gaps stay holes.
void WriteImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                const TransferControl& control);

}  // namespace kelvore
