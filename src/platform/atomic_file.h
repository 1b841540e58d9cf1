#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarn {

// Whole-file reads and writes for files the program keeps its data in.

// The text is the reason alone; the caller knows which file it asked for.
class FileReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the file's content in one step: the text goes into a temporary file in the same
// folder, reaches the disk, and only then takes the file's name. On any failure the old file
// stays as it was, the temporary file is removed, and FileWriteError says why:
// "Cannot write file "<path>". <reason>".
void WriteFileAtomically(const std::filesystem::path& file, std::string_view content);

// The whole content of a regular file, or of the regular file a symbolic link leads to. Anything
// else in its place (a folder, a FIFO, a device) is refused without blocking or reading it, and so
// is a file of more than largestMegabytes MB. FileReadError says why.
std::string ReadRegularFile(const std::filesystem::path& file, std::uintmax_t largestMegabytes);

}  // namespace tarn
