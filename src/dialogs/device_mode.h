#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "platform/common_dialogs.h"

namespace corvane {

// A printer's settings in the layout of the system's DEVMODEA (original 124-byte form),
// with its two name fields as text.
struct DeviceMode {
  std::string dmDeviceName{};
  std::int16_t dmSpecVersion = 0;
  std::int16_t dmDriverVersion = 0;
  std::int16_t dmSize = 0;
  std::int16_t dmDriverExtra = 0;
  std::int32_t dmFields = 0;
  std::int16_t dmOrientation = 0;
  std::int16_t dmPaperSize = 0;
  std::int16_t dmPaperLength = 0;
  std::int16_t dmPaperWidth = 0;
  std::int16_t dmScale = 0;
  std::int16_t dmCopies = 0;
  std::int16_t dmDefaultSource = 0;
  std::int16_t dmPrintQuality = 0;
  std::int16_t dmColor = 0;
  std::int16_t dmDuplex = 0;
  std::int16_t dmYResolution = 0;
  std::int16_t dmTTOption = 0;
  std::int16_t dmCollate = 0;
  std::string dmFormName{};
  std::int16_t dmLogPixels = 0;
  std::int32_t dmBitsPerPel = 0;
  std::int32_t dmPelsWidth = 0;
  std::int32_t dmPelsHeight = 0;
  std::int32_t dmDisplayFlags = 0;
  std::int32_t dmDisplayFrequency = 0;
};

// The raw bytes of a device-mode record.
using DeviceModeBytes = std::array<std::uint8_t, platform::devmode_offset::kRecordSize>;

// How many leading bytes of a device-mode block the dialogs take over: all but the last
// two of the record.
inline constexpr std::size_t kDeviceModeBytesTaken = 122;

// Copies the first kDeviceModeBytesTaken bytes of `block` (fewer when it is shorter) into
// `record`; the rest of `record` keeps its content.
void TakeDeviceModeBytes(std::span<const std::uint8_t> block, DeviceModeBytes& record);

// The 16-bit member at `offset`, little-endian as the system stores it.
std::int16_t DeviceModeShort(const DeviceModeBytes& record, std::size_t offset);

// The whole record decoded; name fields are cut at their first NUL.
DeviceMode DecodeDeviceMode(const DeviceModeBytes& record);

}  // namespace corvane
