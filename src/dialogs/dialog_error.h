#pragma once

#include <cstdint>
#include <string>

// The errors the common-dialog class raises.
namespace corvane::dialog_error {

// The start of the object-defined error range, ORed into error numbers above 1000.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

// `number` moved into the object-defined error range: 1001 becomes 0x800403E9.
constexpr std::int32_t ToObjectError(std::int32_t number) { return number | kObjectErrorBase; }

// The source of errors numbered up to 1000: "<executable>.VBError".
std::string VBErrorSource();

// Raises error `number` in the class's convention: up to 1000 as itself, with the source
// "<executable>.VBError" and the standard description; above 1000 as ToObjectError(number),
// with the source "<executable>.CommonDialog" and an empty description.
[[noreturn]] void RaiseDialogError(std::int32_t number);

}  // namespace corvane::dialog_error
