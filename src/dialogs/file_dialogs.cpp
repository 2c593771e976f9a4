#include "dialogs/common_dialog.h"
#include "dialogs/dialog_error.h"
#include "dialogs/dialog_flags.h"
#include "dialogs/dialog_text.h"
#include "support/error.h"

namespace corvane {
namespace {

using namespace dialog_flags;

constexpr std::int32_t kFileBufferLength = 260;
constexpr std::size_t kFilterLengthLimit = 32767;
constexpr std::int32_t kNoOwner = -1;
constexpr std::int32_t kHookAndTemplate = kOfnEnableHook | kOfnEnableTemplate;

// Raises the argument errors of the open and save dialogs before anything is shown.
template <typename Args>
void CheckFileArgs(const Args& args) {
  if (dialog_text::CharacterCount(args.Filter) >= kFilterLengthLimit) {
    dialog_error::RaiseDialogError(error_number::kOverflow);
  }
  if (dialog_text::CharacterCount(args.Filename) > kFileBufferLength ||
      dialog_text::CharacterCount(args.FileTitle) > kFileBufferLength) {
    dialog_error::RaiseDialogError(error_number::kInvalidArgument);
  }
}

// The record of the open and save dialogs; the class supplies no hook and no template.
template <typename Args>
platform::OpenFileNameRecord FileRecord(const Args& args, std::int32_t flags) {
  return platform::OpenFileNameRecord{
      .hwndOwner = args.Owner == kNoOwner ? 0 : args.Owner,
      .lpstrFilter = dialog_text::ConvertFilter(args.Filter),
      .nFilterIndex = args.FilterIndex,
      .lpstrFile = dialog_text::PadWithNuls(args.Filename, kFileBufferLength),
      .nMaxFile = kFileBufferLength,
      .lpstrFileTitle = dialog_text::PadWithNuls(args.FileTitle, kFileBufferLength),
      .nMaxFileTitle = kFileBufferLength,
      .lpstrInitialDir = args.InitDir,
      .lpstrTitle = args.DlgTitle,
      .Flags = (flags | args.flags) & ~kHookAndTemplate,
      .lpstrDefExt = args.DefaultExt,
  };
}

template <typename Args>
void WriteBackChosenFile(Args& args, const platform::OpenFileNameRecord& record) {
  args.Filename = dialog_text::TextBeforeNull(record.lpstrFile);
  args.FileTitle = dialog_text::TextBeforeNull(record.lpstrFileTitle);
  args.flags = record.Flags;
  args.FilterIndex = record.nFilterIndex;
  args.Filter = dialog_text::FilterPairAt(record.lpstrFilter, record.nFilterIndex);
}

template <typename Args>
void WriteBackNoFile(Args& args, std::int32_t filterIndex) {
  args.Filename.clear();
  args.FileTitle.clear();
  args.flags = 0;
  args.FilterIndex = filterIndex;
  args.Filter.clear();
}

std::int32_t OpenFlags(const OpenFileNameArgs& args) {
  return (args.FileMustExist ? kOfnFileMustExist : 0) |
         (args.MultiSelect ? kOfnAllowMultiSelect : 0) | (args.ReadOnly ? kOfnReadOnly : 0) |
         (args.HideReadOnly ? kOfnHideReadOnly : 0);
}

std::int32_t SaveFlags(const SaveFileNameArgs& args) {
  return (args.OverWritePrompt ? kOfnOverwritePrompt : 0) | kOfnHideReadOnly;
}

}  // namespace

bool cCommonDialog::VBGetOpenFileName(OpenFileNameArgs& args) {
  ResetStatus();
  CheckFileArgs(args);
  platform::OpenFileNameRecord record = FileRecord(args, OpenFlags(args));
  if (!ClassifyReturn(dialogs_.GetOpenFileNameA(record))) {
    WriteBackNoFile(args, -1);
    return false;
  }
  WriteBackChosenFile(args, record);
  if ((record.Flags & kOfnReadOnly) != 0) args.ReadOnly = true;
  return true;
}

bool cCommonDialog::VBGetSaveFileName(SaveFileNameArgs& args) {
  ResetStatus();
  CheckFileArgs(args);
  platform::OpenFileNameRecord record = FileRecord(args, SaveFlags(args));
  if (!ClassifyReturn(dialogs_.GetSaveFileNameA(record))) {
    WriteBackNoFile(args, 0);
    return false;
  }
  WriteBackChosenFile(args, record);
  return true;
}

std::string cCommonDialog::VBGetFileTitle(const std::string& sFile) {
  std::string title(kFileBufferLength, '\0');
  if (dialogs_.GetFileTitleA(sFile, title) != 0) return {};
  return dialog_text::TextBeforeNull(title);
}

}  // namespace corvane
