#pragma once
// Output streams of the dump writer. TFileStream buffers its writes in a large block, so a row
// costs no system call; Close() reports a failed flush, the destructor never throws.
#include <cstddef>
#include <memory>
#include <string>

namespace dump {

class TStream {
 public:
  virtual ~TStream() = default;
  // Writes all bytes or throws EDAError("Stream write error").
  virtual void WriteBuffer(const void* data, size_t size) = 0;
};

class TFileStream final : public TStream {
 public:
  static constexpr size_t kBufferSize = 1 << 20;

  // Creates the file, or empties it when it exists, opened for reading and writing and held
  // exclusively while open. Throws EDAError("Cannot create file \"<path>\". <reason>").
  explicit TFileStream(const std::string& path);
  ~TFileStream() override;  // flushes what it can, never throws

  void WriteBuffer(const void* data, size_t size) override;
  // Writes out the buffer; throws EDAError("Stream write error") when the system refuses.
  void Flush();
  // Flushes and closes; throws like Flush. After a failure the file is still closed.
  void Close();

 private:
  void WriteOut(const char* data, size_t size);

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
};

}  // namespace dump
