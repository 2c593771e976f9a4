#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tool/output_file.h"

namespace kelvore::testkit {

// Bytes of an image-sized file kept in pages; pages never written read as zeros.
class SparseBytes {
 public:
  void Write(std::uint64_t offset, std::span<const std::byte> data) {
    for (std::size_t done = 0; done < data.size();) {
      const auto [page, in_page, count] = Locate(offset + done, data.size() - done);
      std::vector<std::byte>& bytes = pages_[page];
      bytes.resize(kPage);
      std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(done), count, bytes.begin() + in_page);
      done += count;
    }
  }

  void Read(std::uint64_t offset, std::span<std::byte> out) const {
    for (std::size_t done = 0; done < out.size();) {
      const auto [page, in_page, count] = Locate(offset + done, out.size() - done);
      const auto found = pages_.find(page);
      const auto target = out.begin() + static_cast<std::ptrdiff_t>(done);
      if (found == pages_.end()) {
        std::fill_n(target, count, std::byte{0});
      } else {
        std::copy_n(found->second.begin() + in_page, count, target);
      }
      done += count;
    }
  }

  // Copies the pages of [offset, offset + length) from `other`.
  void CopyFrom(const SparseBytes& other, std::uint64_t offset, std::uint64_t length) {
    const auto first = other.pages_.lower_bound(offset / kPage);
    const auto last = other.pages_.lower_bound((offset + length + kPage - 1) / kPage);
    for (auto page = first; page != last; ++page) pages_[page->first] = page->second;
  }

  void Clear() { pages_.clear(); }

 private:
  static constexpr std::size_t kPage = 4096;

  struct Place {
    std::uint64_t page;
    std::ptrdiff_t in_page;
    std::size_t count;
  };
  static Place Locate(std::uint64_t offset, std::size_t wanted) {
    const auto in_page = static_cast<std::size_t>(offset % kPage);
    return {offset / kPage, static_cast<std::ptrdiff_t>(in_page),
            std::min(wanted, kPage - in_page)};
  }

  std::map<std::uint64_t, std::vector<std::byte>> pages_;
};

// An output file that keeps what is written in a "cache" and puts it on a "disk" only when it
// is written back or flushed, as a system does; its read-back drops the cache and reads the
// disk. A byte that reaches the disk altered (`damage_at`) makes disk and cache differ, as a
// failing disk or cable would: only a read from the disk sees it. Everything it goes through
// is logged, and `on_event` may act on each step (an interruption, say).
class CachedDiskFile : public OutputFile {
 public:
  struct State {
    SparseBytes cache;
    SparseBytes disk;
    std::uint64_t size = 0;
    std::size_t sector_size = 4096;
    std::size_t buffer_alignment = 4096;
    bool bypasses_cache = true;
    std::optional<std::uint64_t> damage_at;
    // "size N", "write O+L", "start O+L", "wait O+L", "flush", "drop", "read O+L", "commit NAME"
    std::vector<std::string> events;
    std::function<void(const std::string& event)> on_event;
  };

  explicit CachedDiskFile(std::shared_ptr<State> state) : state_(std::move(state)) {}

  void SetSize(std::uint64_t size) override {
    state_->size = size;
    Log("size " + std::to_string(size));
  }
  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    state_->cache.Write(offset, data);
    Log("write " + Range(offset, data.size()));
  }
  void StartWriteBack(std::uint64_t offset, std::uint64_t length) override {
    Log("start " + Range(offset, length));
  }
  void WaitForWriteBack(std::uint64_t offset, std::uint64_t length) override {
    ToDisk(offset, length);
    Log("wait " + Range(offset, length));
  }
  void Flush() override {
    ToDisk(0, state_->size);
    Log("flush");
  }
  std::unique_ptr<StorageReader> OpenReadBack() override;
  void CommitAs(const std::string& final_path) override { Log("commit " + final_path); }

  static std::string Range(std::uint64_t offset, std::uint64_t length) {
    return std::to_string(offset) + "+" + std::to_string(length);
  }

 private:
  friend class DiskReader;

  void ToDisk(std::uint64_t offset, std::uint64_t length) {
    state_->disk.CopyFrom(state_->cache, offset, length);
    const auto damage = state_->damage_at;
    if (!damage || *damage < offset || *damage - offset >= length) return;
    std::byte byte{};
    state_->disk.Read(*damage, {&byte, 1});
    byte ^= std::byte{0x10};
    state_->disk.Write(*damage, {&byte, 1});
  }

  void Log(std::string event) {
    state_->events.push_back(event);
    if (state_->on_event) state_->on_event(event);
  }

  std::shared_ptr<State> state_;
};

// Reads the fake's disk and refuses, as Windows documents for unbuffered reads, any offset
// or length that is not a multiple of the sector size, and any buffer address that is not a
// multiple of the buffer alignment.
class DiskReader : public StorageReader {
 public:
  explicit DiskReader(CachedDiskFile& file) : file_(file) {}

  std::size_t SectorSize() const override { return file_.state_->sector_size; }
  std::size_t BufferAlignment() const override { return file_.state_->buffer_alignment; }
  bool BypassesCache() const override { return file_.state_->bypasses_cache; }
  std::uint64_t Size() const override { return file_.state_->size; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) override {
    const std::size_t sector = SectorSize();
    const auto misalignment = reinterpret_cast<std::uintptr_t>(out.data()) % BufferAlignment();
    if (offset % sector != 0 || out.size() % sector != 0 || misalignment != 0) {
      throw IoError("Unaligned read: " + CachedDiskFile::Range(offset, out.size()) + " into " +
                    std::to_string(misalignment) + " past an alignment boundary.");
    }
    if (offset + out.size() > file_.state_->size) throw IoError("Read past the end.");
    file_.state_->disk.Read(offset, out);
    file_.Log("read " + CachedDiskFile::Range(offset, out.size()));
  }

 private:
  CachedDiskFile& file_;
};

inline std::unique_ptr<StorageReader> CachedDiskFile::OpenReadBack() {
  state_->cache.Clear();
  Log("drop");
  return std::make_unique<DiskReader>(*this);
}

}  // namespace kelvore::testkit
