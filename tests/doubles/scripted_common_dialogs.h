#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/common_dialogs.h"
#include "platform/dialog_defaults.h"

namespace doubles {

// What one scripted dialog does: it keeps each record as it came in, lets the test play
// the user on the record, and returns the scripted value, leaving the scripted extended
// error for CommDlgExtendedError as the system does after each call.
template <typename Record>
struct DialogScript {
  std::int32_t returnValue = 0;
  std::int32_t errorCode = 0;
  std::function<void(Record&)> user;
  std::vector<Record> seen;

  // The user confirms, after `act` on the record.
  void Confirm(std::function<void(Record&)> act = {}) {
    returnValue = 1;
    errorCode = 0;
    user = std::move(act);
  }
  void Cancel() {
    returnValue = 0;
    errorCode = 0;
  }
  // The dialog fails: 0 and an extended error, as comdlg32 reports a failure.
  void Fail(std::int32_t code) {
    returnValue = 0;
    errorCode = code;
  }
  const Record& Last() const { return seen.back(); }
};

// comdlg32 and the system defaults of the dialogs, scripted by the test.
class ScriptedCommonDialogs final : public platform::CommonDialogs,
                                    public platform::DialogDefaults {
 public:
  ScriptedCommonDialogs() {
    for (std::size_t i = 0; i < systemColors.size(); ++i) {
      systemColors[i] = static_cast<std::int32_t>(0x00010101 * (i + 1));
    }
  }

  std::int32_t GetOpenFileNameA(platform::OpenFileNameRecord& record) override {
    return Run(open, record);
  }
  std::int32_t GetSaveFileNameA(platform::OpenFileNameRecord& record) override {
    return Run(save, record);
  }
  std::int16_t GetFileTitleA(const std::string& file, std::string& title) override {
    fileTitleRequests.push_back({file, title.size()});
    title.replace(0, fileTitle.size(), fileTitle);
    return fileTitleReturn;
  }
  std::int32_t CommDlgExtendedError() override { return extendedError_; }
  std::int32_t ChooseColorA(platform::ChooseColorRecord& record) override {
    customColorsSeen.push_back(*record.lpCustColors);
    return Run(color, record);
  }
  std::int32_t ChooseFontA(platform::ChooseFontRecord& record) override {
    return Run(font, record);
  }
  std::int32_t PrintDlgA(platform::PrintDlgRecord& record) override { return Run(print, record); }
  std::int32_t PageSetupDlgA(platform::PageSetupDlgRecord& record) override {
    return Run(pageSetup, record);
  }

  std::int32_t GetSysColor(std::int32_t index) override {
    return systemColors.at(static_cast<std::size_t>(index));
  }
  std::int32_t ScreenTwipsPerPixelY() override { return twipsPerPixel; }
  std::int32_t DefaultPrinterDC() override { return defaultPrinterDC; }

  DialogScript<platform::OpenFileNameRecord> open;
  DialogScript<platform::OpenFileNameRecord> save;
  DialogScript<platform::ChooseColorRecord> color;
  DialogScript<platform::ChooseFontRecord> font;
  DialogScript<platform::PrintDlgRecord> print;
  DialogScript<platform::PageSetupDlgRecord> pageSetup;
  std::vector<std::array<std::int32_t, 16>> customColorsSeen;

  struct FileTitleRequest {
    std::string file;
    std::size_t bufferSize = 0;
  };
  std::vector<FileTitleRequest> fileTitleRequests;
  std::string fileTitle;
  std::int16_t fileTitleReturn = 0;

  std::array<std::int32_t, 16> systemColors{};
  std::int32_t twipsPerPixel = 15;
  std::int32_t defaultPrinterDC = 0;

 private:
  template <typename Record>
  std::int32_t Run(DialogScript<Record>& script, Record& record) {
    script.seen.push_back(record);
    if (script.user) script.user(record);
    extendedError_ = script.errorCode;
    return script.returnValue;
  }

  std::int32_t extendedError_ = 0;
};

}  // namespace doubles
