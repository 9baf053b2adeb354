#pragma once
// The growable byte buffer in which one output line is built. When an append does not fit, the
// capacity becomes the needed length plus half the old capacity.
#include <string>
#include <string_view>

namespace dump {

class TRowBuffer {
 public:
  void Clear() { bytes_.clear(); }
  size_t Length() const { return bytes_.size(); }
  std::string_view View() const { return bytes_; }

  // Makes room for extra more bytes by the growth rule.
  void Reserve(size_t extra) {
    const size_t needed = bytes_.size() + extra;
    if (needed > bytes_.capacity()) bytes_.reserve(needed + bytes_.capacity() / 2);
  }
  void Append(std::string_view s) {
    Reserve(s.size());
    bytes_.append(s);
  }
  void Append(char c) {
    Reserve(1);
    bytes_.push_back(c);
  }
  // For renderers that write in place after Reserve.
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace dump
