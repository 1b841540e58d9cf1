#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "support/temp_dir.h"

namespace tarn {
namespace {

// Files may grow to `bytes` while it lives; a write beyond fails with EFBIG instead of a signal.
// Works as root too, where permissions would not stop a write.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(AtomicFileTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
  testing::TempDir dir;
  const auto file = dir / "players.cds";
  WriteFileAtomically(file, "old content");
  {
    const FileSizeLimit limit(4096);
    EXPECT_THROW(WriteFileAtomically(file, std::string(100000, 'x')), FileWriteError);
  }
  EXPECT_EQ(testing::ReadText(file), "old content");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);

  WriteFileAtomically(file, "new content");
  EXPECT_EQ(testing::ReadText(file), "new content");
}

}  // namespace
}  // namespace tarn
