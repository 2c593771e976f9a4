#pragma once

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Reads every planned piece back from the new image and compares it with what it should hold
// (the source's bytes, or the rewritten header and FST). Throws IoError naming the first piece
// that differs.
void VerifyImage(const ImagePlan& plan, const ByteSource& source, OutputFile& output,
                 const TransferControl& control);

}  // namespace kelvore
