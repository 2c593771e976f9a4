#include "support/fixed_decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace corvane {
namespace {

constexpr std::uint32_t kLimbBase = 1000000000;
constexpr std::size_t kLimbDigits = 9;
constexpr int kMantissaBits = 53;

// The decimal digits of `value` times two to the power `shift`: an integer of up to 312
// digits, so kept in base-10^9 limbs, least significant first.
std::string ShiftedDigits(std::uint64_t value, int shift) {
  std::vector<std::uint32_t> limbs;
  for (; value != 0; value /= kLimbBase)
    limbs.push_back(static_cast<std::uint32_t>(value % kLimbBase));
  while (shift > 0) {
    const int step = std::min(shift, 31);
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      const std::uint64_t product = (std::uint64_t{limb} << step) + carry;
      limb = static_cast<std::uint32_t>(product % kLimbBase);
      carry = product / kLimbBase;
    }
    for (; carry != 0; carry /= kLimbBase)
      limbs.push_back(static_cast<std::uint32_t>(carry % kLimbBase));
    shift -= step;
  }
  if (limbs.empty()) return "0";
  std::string digits = std::to_string(limbs.back());
  for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
    const std::string part = std::to_string(*limb);
    digits.append(kLimbDigits - part.size(), '0').append(part);
  }
  return digits;
}

// `value` divided by two to the power `shift`, rounded to the nearest, halfway to even.
std::uint64_t ShiftRightRounded(std::uint64_t value, int shift) {
  if (shift >= 64) return 0;  // value < 2^63: below half of the divisor
  const std::uint64_t quotient = value >> shift;
  const std::uint64_t remainder = value - (quotient << shift);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  const bool up = remainder > half || (remainder == half && (quotient & 1) != 0);
  return quotient + (up ? 1 : 0);
}

}  // namespace

std::string FixedDecimal(double value, int decimals) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return sign + "nan";
  if (std::isinf(value)) return sign + "inf";

  // |value| = mantissa * 2^exponent exactly, with a mantissa below 2^53; scaled by 10^decimals
  // it still fits 64 bits.
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  std::uint64_t scaled = static_cast<std::uint64_t>(std::ldexp(fraction, kMantissaBits));
  exponent -= kMantissaBits;
  for (int i = 0; i < decimals; ++i) scaled *= 10;

  std::string digits = exponent >= 0 ? ShiftedDigits(scaled, exponent)
                                     : std::to_string(ShiftRightRounded(scaled, -exponent));
  const std::size_t minimum = static_cast<std::size_t>(decimals) + 1;
  if (digits.size() < minimum) digits.insert(0, minimum - digits.size(), '0');
  if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
  return sign + digits;
}

}  // namespace corvane
