#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "kelvore/base/errors.h"
#include "kelvore/tool/output_file.h"

namespace kelvore::testkit {

// Wraps a real output file and misbehaves once a given number of bytes has been written.
class FaultyOutputFile : public OutputFile {
 public:
  enum class Fault {
    kFailWrite,    // the write fails part-way, as on a full disk
    kInterrupt,    // the user presses Ctrl+C
    kCorruptByte,  // a byte reaches the file altered
  };

  FaultyOutputFile(std::unique_ptr<OutputFile> real, Fault fault, std::uint64_t after_bytes,
                   std::atomic<bool>* interrupt = nullptr)
      : real_(std::move(real)), fault_(fault), after_bytes_(after_bytes), interrupt_(interrupt) {}

  void WriteAt(std::uint64_t offset, std::span<const std::byte> data) override {
    const bool due = !triggered_ && written_ + data.size() > after_bytes_;
    written_ += data.size();
    if (!due) return real_->WriteAt(offset, data);
    triggered_ = true;
    const std::size_t before_fault =
        static_cast<std::size_t>(after_bytes_ - (written_ - data.size()));
    switch (fault_) {
      case Fault::kFailWrite:
        real_->WriteAt(offset, data.first(before_fault));
        throw IoError("Injected failure: no space left on the device.");
      case Fault::kInterrupt:
        interrupt_->store(true);
        return real_->WriteAt(offset, data);
      case Fault::kCorruptByte: {
        std::vector<std::byte> altered(data.begin(), data.end());
        altered[before_fault] ^= std::byte{0x5A};
        return real_->WriteAt(offset, altered);
      }
    }
  }

  void SetSize(std::uint64_t size) override { real_->SetSize(size); }
  void StartWriteBack(std::uint64_t offset, std::uint64_t length) override {
    real_->StartWriteBack(offset, length);
  }
  void WaitForWriteBack(std::uint64_t offset, std::uint64_t length) override {
    real_->WaitForWriteBack(offset, length);
  }
  void Flush() override { real_->Flush(); }
  std::unique_ptr<StorageReader> OpenReadBack() override { return real_->OpenReadBack(); }
  void CommitAs(const std::string& final_path) override { real_->CommitAs(final_path); }

 private:
  std::unique_ptr<OutputFile> real_;
  Fault fault_;
  std::uint64_t after_bytes_;
  std::atomic<bool>* interrupt_;
  std::uint64_t written_ = 0;
  bool triggered_ = false;
};

}  // namespace kelvore::testkit
