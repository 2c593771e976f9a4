#include "kelvore/disc/interruption.h"

#include "kelvore/disc/errors.h"

namespace kelvore {

const InterruptFlag& NeverInterrupted() {
  static const InterruptFlag never{false};
  return never;
}

void StopIfInterrupted(const InterruptFlag& interrupted) {
  if (interrupted.load(std::memory_order_relaxed)) throw IoError("Interrupted.");
}

}  // namespace kelvore
