// Whole-file reading and atomic whole-file replacement over POSIX calls.
#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <system_error>

namespace punktivo {

int FileCalls::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileCalls::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int FileCalls::fsync(int fd) { return ::fsync(fd); }
int FileCalls::rename(const char* from, const char* to) { return ::rename(from, to); }

FileCalls& systemFileCalls() {
  static FileCalls calls;
  return calls;
}

ssize_t FailAfterBytes::write(int fd, const void* data, std::size_t size) {
  if (written_ >= limit_) {
    errno = error_;
    return -1;
  }
  // A partial write first, as a real disk gives when it fills up.
  const std::size_t allowed = std::min(size, limit_ - written_);
  const ssize_t n = FileCalls::write(fd, data, allowed);
  if (n > 0) written_ += static_cast<std::size_t>(n);
  return n;
}

std::string WriteResult::describe() const {
  if (ok) return "ok";
  return std::string(step) + ": " + std::generic_category().message(error);
}

namespace {

WriteResult failure(const char* step, int error) {
  WriteResult result;
  result.ok = false;
  result.step = step;
  result.error = error != 0 ? error : EIO;
  return result;
}

bool writeAll(FileCalls& calls, int fd, std::span<const uint8_t> bytes, int& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    if (n == 0) {  // no progress and no reason given: treat as a full disk
      error = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the rename itself durable; failure here cannot undo the save, so it is ignored.
void syncDirectory(const std::filesystem::path& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::atomic<unsigned> tempCounter{0};

}  // namespace

WriteResult replaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                                FileCalls& calls) {
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    const auto resolved = std::filesystem::weakly_canonical(path, ec);
    if (!ec) target = resolved;
  }

  struct stat old {};
  const bool hadOld = ::stat(target.c_str(), &old) == 0;
  if (hadOld && S_ISDIR(old.st_mode)) return failure("open", EISDIR);

  // The temporary file must lie in the same directory, or the rename is not atomic.
  const std::filesystem::path dir = target.parent_path();
  int fd = -1;
  std::filesystem::path temp;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir / (target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                  std::to_string(tempCounter++));
    fd = calls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return failure("open", errno);
  }
  if (fd < 0) return failure("open", EEXIST);

  auto abandon = [&](const char* step, int error) {
    ::close(fd);
    ::unlink(temp.c_str());
    return failure(step, error);
  };

  if (hadOld) ::fchmod(fd, old.st_mode & 07777);
  int error = 0;
  if (!writeAll(calls, fd, bytes, error)) return abandon("write", error);
  if (calls.fsync(fd) != 0) return abandon("fsync", errno);
  if (::close(fd) != 0) {
    const int closeError = errno;
    ::unlink(temp.c_str());
    return failure("close", closeError);
  }
  if (calls.rename(temp.c_str(), target.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temp.c_str());
    return failure("rename", renameError);
  }
  syncDirectory(dir);
  return {};
}

namespace {

ReadResult readFailure(ReadStatus status, int error) {
  ReadResult result;
  result.status = status;
  result.error = error;
  return result;
}

}  // namespace

ReadResult readFileRange(const std::filesystem::path& path, std::size_t offset, std::size_t size) {
  // Non-blocking, so a FIFO in place of a board file cannot hang the game.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return readFailure(errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed, errno);
  struct stat st {};
  int statError = 0;
  if (::fstat(fd, &st) != 0)
    statError = errno;
  else if (!S_ISREG(st.st_mode))
    statError = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  if (statError != 0) {
    ::close(fd);
    return readFailure(ReadStatus::kFailed, statError);
  }
  ReadResult result;
  const std::size_t length = static_cast<std::size_t>(st.st_size);
  const std::size_t available = offset < length ? length - offset : 0;
  result.bytes.resize(std::min(size, available));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    const ssize_t n = ::pread(fd, result.bytes.data() + done, result.bytes.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return readFailure(ReadStatus::kFailed, error);
    }
    if (n == 0) break;  // the file shrank meanwhile
    done += static_cast<std::size_t>(n);
  }
  result.bytes.resize(done);
  ::close(fd);
  return result;
}

ReadResult readWholeFile(const std::filesystem::path& path) {
  return readFileRange(path, 0, static_cast<std::size_t>(-1));
}

}  // namespace punktivo
