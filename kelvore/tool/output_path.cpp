#include "kelvore/tool/output_path.h"

#include <string_view>

#include "kelvore/base/message_format.h"

namespace kelvore {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/:";
constexpr char kSeparator = '\\';
#else
constexpr std::string_view kSeparators = "/";
constexpr char kSeparator = '/';
#endif

}  // namespace

std::string DefaultOutputPath(const std::string& image_path, std::string_view extension) {
  const std::size_t separator = image_path.find_last_of(kSeparators);
  const std::size_t name_begin = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = image_path.rfind('.');
  const bool has_extension = dot != std::string::npos && dot > name_begin;
  return image_path.substr(0, has_extension ? dot : image_path.size()) + ".rebuilt" +
         std::string(extension);
}

std::string NameInPath(const std::string& path) {
  const std::size_t separator = path.find_last_of(kSeparators);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || kSeparators.find(folder.back()) != std::string::npos) return folder + name;
  return folder + kSeparator + name;
}

std::string PartPathFor(const std::string& output_path) { return output_path + ".part"; }

std::string OutputExistsMessage(const std::string& output_path) {
  return Printable(output_path) +
         " already exists, and kelvore never replaces a file. Move it away or name another "
         "output with -o.";
}

std::string PartExistsMessage(const std::string& part_path) {
  return Printable(part_path) +
         " already exists: another rebuild of this image may be running, or an earlier one "
         "was cut off. Remove it if no rebuild is running.";
}

std::string OutputIsSourceMessage(const std::string& path, bool unfinished) {
  return Joined({unfinished ? "The unfinished image would be written as " : "The output ",
                 Printable(path), unfinished ? ", which" : "",
                 " is the image to rebuild itself, and kelvore never changes it. Name another "
                 "output with -o."});
}

std::string LeftoverPartMessage(const std::string& final_path, const std::string& part_path,
                                const std::string& reason) {
  const std::string part = Printable(part_path);
  return Joined({"The new image is complete as ", Printable(final_path),
                 ", but its unfinished name ", part, " could not be removed (", reason,
                 "); both names now show the same file. Remove ", part, " yourself."});
}

std::string NotAnImageFileMessage(const std::string& path, const std::string& kind) {
  return Printable(path) + " is " + kind + ", not a disc image file.";
}

}  // namespace kelvore
