#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace tarn {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the file's content in one step: the text goes into a temporary file in the same
// folder, reaches the disk, and only then takes the file's name. On any failure the old file
// stays as it was, the temporary file is removed, and FileWriteError says why:
// "Cannot write file "<path>". <reason>".
void WriteFileAtomically(const std::filesystem::path& file, std::string_view content);

}  // namespace tarn
