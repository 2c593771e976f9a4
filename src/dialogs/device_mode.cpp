#include "dialogs/device_mode.h"

#include <algorithm>

#include "dialogs/dialog_text.h"

namespace corvane {
namespace {

namespace offset = platform::devmode_offset;
constexpr std::size_t kNameBytes = 32;

std::int32_t DeviceModeLong(const DeviceModeBytes& record, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{record[at + i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

std::string DeviceModeName(const DeviceModeBytes& record, std::size_t at) {
  return dialog_text::TextBeforeNull(
      dialog_text::ByteArrayToText(std::span(record).subspan(at, kNameBytes)));
}

}  // namespace

void TakeDeviceModeBytes(std::span<const std::uint8_t> block, DeviceModeBytes& record) {
  const std::size_t count = std::min(block.size(), kDeviceModeBytesTaken);
  std::copy_n(block.begin(), count, record.begin());
}

std::int16_t DeviceModeShort(const DeviceModeBytes& record, std::size_t at) {
  return static_cast<std::int16_t>(record[at] | (record[at + 1] << 8));
}

DeviceMode DecodeDeviceMode(const DeviceModeBytes& record) {
  return DeviceMode{
      .dmDeviceName = DeviceModeName(record, offset::kDeviceName),
      .dmSpecVersion = DeviceModeShort(record, offset::kSpecVersion),
      .dmDriverVersion = DeviceModeShort(record, offset::kDriverVersion),
      .dmSize = DeviceModeShort(record, offset::kSize),
      .dmDriverExtra = DeviceModeShort(record, offset::kDriverExtra),
      .dmFields = DeviceModeLong(record, offset::kFields),
      .dmOrientation = DeviceModeShort(record, offset::kOrientation),
      .dmPaperSize = DeviceModeShort(record, offset::kPaperSize),
      .dmPaperLength = DeviceModeShort(record, offset::kPaperLength),
      .dmPaperWidth = DeviceModeShort(record, offset::kPaperWidth),
      .dmScale = DeviceModeShort(record, offset::kScale),
      .dmCopies = DeviceModeShort(record, offset::kCopies),
      .dmDefaultSource = DeviceModeShort(record, offset::kDefaultSource),
      .dmPrintQuality = DeviceModeShort(record, offset::kPrintQuality),
      .dmColor = DeviceModeShort(record, offset::kColor),
      .dmDuplex = DeviceModeShort(record, offset::kDuplex),
      .dmYResolution = DeviceModeShort(record, offset::kYResolution),
      .dmTTOption = DeviceModeShort(record, offset::kTTOption),
      .dmCollate = DeviceModeShort(record, offset::kCollate),
      .dmFormName = DeviceModeName(record, offset::kFormName),
      .dmLogPixels = DeviceModeShort(record, offset::kLogPixels),
      .dmBitsPerPel = DeviceModeLong(record, offset::kBitsPerPel),
      .dmPelsWidth = DeviceModeLong(record, offset::kPelsWidth),
      .dmPelsHeight = DeviceModeLong(record, offset::kPelsHeight),
      .dmDisplayFlags = DeviceModeLong(record, offset::kDisplayFlags),
      .dmDisplayFrequency = DeviceModeLong(record, offset::kDisplayFrequency),
  };
}

}  // namespace corvane
