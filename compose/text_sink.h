// Where composed text goes: pieces handed over in order, each valid only during the call. The
// composer writes a message through it so that its text need never be held whole.
#pragma once

#include <string>
#include <string_view>

namespace compose {

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view piece) = 0;
};

// Appends every piece to a string.
class StringTextSink final : public TextSink {
 public:
  explicit StringTextSink(std::string& out) : out_(out) {}
  void Write(std::string_view piece) override { out_.append(piece); }

 private:
  std::string& out_;
};

}  // namespace compose
