#pragma once

#include <cstdint>
#include <filesystem>

namespace e2e {

// A file of `length` bytes that holds no data blocks: only its length matters.
void CreateSparseFile(const std::filesystem::path& file, std::uint64_t length);

// Gives the file the hidden attribute.
void MakeHidden(const std::filesystem::path& file);

}  // namespace e2e
