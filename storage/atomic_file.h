// Whole-file reading, and whole-file replacement that never leaves a torn file behind:
// temporary file beside the target, every write checked, fsync, rename over the old one.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace punktivo {

// The system calls a file replacement goes through. The default calls the system;
// tests and fault injection override some of them to make a save fail part-way.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual int open(const char* path, int flags, mode_t mode);
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);
  virtual int rename(const char* from, const char* to);
};

FileCalls& systemFileCalls();

// Lets the first `limit` bytes through (over all files it writes), then fails every
// write with `error`: a disk that fills up half-way through a save.
class FailAfterBytes final : public FileCalls {
 public:
  explicit FailAfterBytes(std::size_t limit, int error = ENOSPC) : limit_(limit), error_(error) {}
  ssize_t write(int fd, const void* data, std::size_t size) override;
  std::size_t bytesWritten() const { return written_; }

 private:
  std::size_t limit_;
  int error_;
  std::size_t written_ = 0;
};

struct WriteResult {
  bool ok = true;
  int error = 0;            // errno of the call that failed
  const char* step = "";    // which call failed: "open", "write", "fsync", "rename"
  explicit operator bool() const { return ok; }
  std::string describe() const;  // e.g. "write: No space left on device"
};

// Replaces the contents of `path` with `bytes`, or leaves the old file (or its absence)
// exactly as it was and says why. The new file keeps the old file's permissions; a
// symbolic link is followed, so the file it names is replaced, not the link.
WriteResult replaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                                FileCalls& calls = systemFileCalls());

enum class ReadStatus { kOk, kMissing, kFailed };

struct ReadResult {
  ReadStatus status = ReadStatus::kOk;
  int error = 0;
  std::vector<uint8_t> bytes;
};

// The whole file. A directory or an unreadable file is kFailed, not kMissing.
ReadResult readWholeFile(const std::filesystem::path& path);

// Up to `size` bytes from `offset`; fewer when the file ends first.
ReadResult readFileRange(const std::filesystem::path& path, std::size_t offset, std::size_t size);

}  // namespace punktivo
