#include "dump/Stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dump/DumpTypes.h"

namespace dump {

TFileStream::TFileStream(const std::string& path) : buffer_(new char[kBufferSize]) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  int err = errno;
  // Only a regular file is held and emptied; a device or a pipe is written as it is, and
  // other writers of /dev/null and the like are no reason to refuse.
  struct stat st{};
  const bool regular = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  // Emptied only once we hold it, so a file another writer holds is never cut.
  if (regular && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    err = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd_);
    fd_ = -1;
  } else if (regular && ::ftruncate(fd_, 0) != 0) {
    err = errno;
    ::close(fd_);
    fd_ = -1;
  }
  if (fd_ < 0)
    throw EDAError("Cannot create file \"" + path + "\". " +
                   (err == EBUSY ? "The file is being used by another process" : std::strerror(err)));
}

TFileStream::~TFileStream() {
  try {
    Close();
  } catch (...) {
    // The caller that wanted to know called Close() itself.
  }
}

void TFileStream::WriteOut(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EDAError("Stream write error");
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void TFileStream::WriteBuffer(const void* data, size_t size) {
  if (fd_ < 0) throw EDAError("Stream write error");
  const char* p = static_cast<const char*>(data);
  if (used_ + size > kBufferSize) {
    Flush();
    if (size >= kBufferSize) {
      WriteOut(p, size);
      return;
    }
  }
  std::memcpy(buffer_.get() + used_, p, size);
  used_ += size;
}

void TFileStream::Flush() {
  if (fd_ < 0 || used_ == 0) return;
  const size_t n = used_;
  used_ = 0;  // a failed flush is not retried with the same bytes
  WriteOut(buffer_.get(), n);
}

void TFileStream::Close() {
  if (fd_ < 0) return;
  try {
    Flush();
  } catch (...) {
    ::close(fd_);
    fd_ = -1;
    throw;
  }
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) throw EDAError("Stream write error");
}

}  // namespace dump
