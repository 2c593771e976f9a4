#pragma once

#include "kelvore/disc/byte_source.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/tool/output_file.h"
#include "kelvore/tool/piece_chunks.h"

namespace kelvore {

// Reads the CISO file WriteCisoImage wrote back through `reader`, the file's own reader, and
// checks it against the plan, never against what the writer did: the header's magic and block
// size, a map that stores no block past the image's end, and a file that ends with its last
// stored block; then every byte of the image it stands for (a block left out reads as zeros)
// as VerifyImage compares a plain image, that every stored block holds data, and that the
// last one holds zeros past the image's end. Throws IoError naming the first difference.
// Progress counts bytes of the image.
void VerifyCisoImage(const ImagePlan& plan, const ByteSource& source, StorageReader& reader,
                     const TransferControl& control);

}  // namespace kelvore
