#pragma once

namespace kelvore {

inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 1;         // the command line was not understood
inline constexpr int kExitImageRefused = 2;  // invalid image, or its data does not fit
inline constexpr int kExitIoFailure = 3;     // read/write failure, output in the way,
                                             // verification mismatch, interruption

}  // namespace kelvore
