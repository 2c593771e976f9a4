#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The parameters of cCommonDialog::VBGetOpenFileName, in order, with their defaults.
// Members marked in/out receive the dialog's results.
struct OpenFileNameArgs {
  std::string Filename{};   // in/out: the initial file name; the chosen path, or empty
  std::string FileTitle{};  // in/out: initial title buffer; the chosen file's title, or empty
  bool FileMustExist = true;
  bool MultiSelect = false;
  bool ReadOnly = false;  // in/out: becomes true when the user checked the read-only box
  bool HideReadOnly = false;
  std::string Filter = "All (*.*)| *.*";  // in/out: "description|pattern|..."; the chosen pair
  std::int32_t FilterIndex = 1;           // in/out: counted from 1; the chosen filter, or -1
  std::string InitDir{};
  std::string DlgTitle{};
  std::string DefaultExt{};
  std::int32_t Owner = -1;  // owner window handle; -1 for none
  std::int32_t flags = 0;   // in/out: further OFN_* bits; the flags returned, or 0
};

// The parameters of cCommonDialog::VBGetSaveFileName, meaning the same as their namesakes
// above, except that FilterIndex comes back as 0 after a cancel or failure.
struct SaveFileNameArgs {
  std::string Filename{};
  std::string FileTitle{};
  bool OverWritePrompt = true;
  std::string Filter = "All (*.*)| *.*";
  std::int32_t FilterIndex = 1;
  std::string InitDir{};
  std::string DlgTitle{};
  std::string DefaultExt{};
  std::int32_t Owner = -1;
  std::int32_t flags = 0;
};

}  // namespace corvane
