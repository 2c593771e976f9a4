#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvore::testkit {

// A fresh folder for one test, removed with everything in it afterwards; a folder that cannot
// be removed fails the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // `name` inside the folder, in the platform's own form.
  std::string PathOf(const std::string& name) const;

  // Names of the folder's entries, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

std::vector<std::byte> ReadFileBytes(const std::string& path);
std::vector<std::byte> ReadFileRange(const std::string& path, std::uint64_t offset,
                                     std::size_t length);
std::uint64_t FileSize(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::byte>& bytes);

}  // namespace kelvore::testkit
