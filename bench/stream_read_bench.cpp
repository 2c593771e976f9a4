// Reads a page-cached 1 GiB file through cBinaryFileStream::Read in 64 KiB chunks and
// through a plain read loop of the same chunk size, in the same run, and prints the
// stream's throughput as a ratio of the plain loop's (1.0: as fast; target 0.9 or better).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/binary_file_stream.h"

namespace {

constexpr std::int64_t kFileSize = std::int64_t{1} << 30;
constexpr std::int32_t kChunk = 64 * 1024;
constexpr int kRounds = 3;

using Clock = std::chrono::steady_clock;

void WriteTestFile(const std::filesystem::path& path) {
  std::vector<char> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7);
  std::ofstream file(path, std::ios::binary);
  for (std::int64_t written = 0; written < kFileSize; written += std::ssize(block)) {
    file.write(block.data(), std::ssize(block));
  }
}

double SecondsThroughStream(const std::string& path, std::uint64_t& checksum) {
  const auto start = Clock::now();
  corvane::cBinaryFileStream stream;
  stream.file(path);
  std::vector<std::uint8_t> buffer(kChunk);
  while (const std::int32_t count = stream.Read(buffer, kChunk)) checksum += buffer[count - 1];
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double SecondsThroughPlainReads(const std::string& path, std::uint64_t& checksum) {
  const auto start = Clock::now();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::setvbuf(file, nullptr, _IONBF, 0);
  std::vector<std::uint8_t> buffer(kChunk);
  while (const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file)) {
    checksum += buffer[count - 1];
  }
  std::fclose(file);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "corvane-bench.bin";
  WriteTestFile(path);
  std::uint64_t checksum = 0;
  SecondsThroughPlainReads(path.string(), checksum);  // bring the file into the page cache
  double stream = 1e9;
  double plain = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    stream = std::min(stream, SecondsThroughStream(path.string(), checksum));
    plain = std::min(plain, SecondsThroughPlainReads(path.string(), checksum));
  }
  std::filesystem::remove(path);
  const double mib = static_cast<double>(kFileSize) / (1 << 20);
  std::printf("plain read loop:   %8.1f MiB/s\n", mib / plain);
  std::printf("cBinaryFileStream: %8.1f MiB/s\n", mib / stream);
  std::printf("ratio (stream / plain throughput): %.2f (target 0.90 or better)  [checksum %llu]\n",
              plain / stream, static_cast<unsigned long long>(checksum));
  return 0;
}
