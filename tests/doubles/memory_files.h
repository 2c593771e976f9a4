#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "platform/directory_search.h"
#include "platform/file_attributes.h"
#include "support/error.h"

namespace doubles {

// Files held in memory, with a journal of what was searched, opened and closed. A file
// may claim a length larger than its bytes (for sizes no test should allocate).
class MemoryFiles final : public platform::FileOpener, public platform::DirectorySearch {
 public:
  struct Entry {
    std::vector<std::uint8_t> bytes;
    std::int64_t length = 0;
    std::uint32_t attributes = platform::attribute::kNormal;
    std::int32_t lengthFailure = 0;  // the error number asking for the length raises, or 0
  };

  void Add(const std::string& name, std::vector<std::uint8_t> bytes,
           std::uint32_t attributes = platform::attribute::kNormal) {
    const auto length = static_cast<std::int64_t>(bytes.size());
    entries_[name] = Entry{std::move(bytes), length, attributes};
  }
  void AddWithLength(const std::string& name, std::int64_t length,
                     std::vector<std::uint8_t> leadingBytes = {}) {
    entries_[name] = Entry{std::move(leadingBytes), length, platform::attribute::kNormal};
  }
  // Asking an open file of that name for its length raises this error number.
  void FailLengthOf(const std::string& name, std::int32_t number) {
    entries_.at(name).lengthFailure = number;
  }
  // The next search raises this error number instead of searching.
  void FailNextSearch(std::int32_t number) { searchFailure_ = number; }

  std::string FirstMatch(const std::string& pattern, std::uint32_t attributeMask) override {
    journal.push_back("search " + pattern);
    if (searchFailure_ != 0) {
      throw corvane::Error(std::exchange(searchFailure_, 0), "test");
    }
    const auto found = entries_.find(pattern);
    if (found == entries_.end()) return {};
    return platform::MatchesAttributeMask(found->second.attributes, attributeMask) ? pattern : "";
  }

  std::unique_ptr<platform::ReadOnlyFile> OpenForBinaryRead(const std::string& path) override {
    journal.push_back("open " + path);
    const auto found = entries_.find(path);
    if (found == entries_.end()) throw corvane::Error(corvane::error_number::kFileNotFound, "test");
    return std::make_unique<File>(*this, path, found->second);
  }

  int OpenCount() const { return openCount_; }
  std::vector<std::string> journal;

 private:
  class File final : public platform::ReadOnlyFile {
   public:
    File(MemoryFiles& owner, std::string path, const Entry& entry)
        : owner_(owner), path_(std::move(path)), entry_(entry) {
      ++owner_.openCount_;
    }
    ~File() override {
      --owner_.openCount_;
      owner_.journal.push_back("close " + path_);
    }
    std::int64_t Length() override {
      if (entry_.lengthFailure != 0) throw corvane::Error(entry_.lengthFailure, "test");
      return entry_.length;
    }
    void Read(std::span<std::uint8_t> buffer) override {
      const size_t available = entry_.bytes.size() - std::min(entry_.bytes.size(), offset_);
      if (buffer.size() > available)
        throw corvane::Error(corvane::error_number::kDeviceIoError, "test");
      std::copy_n(entry_.bytes.begin() + static_cast<std::ptrdiff_t>(offset_), buffer.size(),
                  buffer.begin());
      offset_ += buffer.size();
    }

   private:
    MemoryFiles& owner_;
    std::string path_;
    const Entry& entry_;
    size_t offset_ = 0;
  };

  std::map<std::string, Entry> entries_;
  std::int32_t searchFailure_ = 0;
  int openCount_ = 0;
};

}  // namespace doubles
