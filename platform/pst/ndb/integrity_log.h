// Damage that does not stop reading (checksum and signature mismatches on structurally sound pages
// and blocks): counted, and traced through the sink the database was opened with.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace pst {

using TraceSink = std::function<void(const std::string&)>;

struct IntegrityCounts {
  std::uint64_t checksum_mismatches = 0;   // page or block CRC differs; data used
  std::uint64_t signature_mismatches = 0;  // page or block wSig differs; data used
  std::uint64_t other_warnings = 0;        // e.g. a data tree whose recorded total is wrong
};

class IntegrityLog {
 public:
  explicit IntegrityLog(TraceSink sink) : sink_(std::move(sink)) {}

  void ChecksumMismatch(const std::string& what) { Note(checksum_, what + ": checksum mismatch"); }
  void SignatureMismatch(const std::string& what) { Note(signature_, what + ": signature mismatch"); }
  void Warning(const std::string& what) { Note(other_, what); }

  IntegrityCounts counts() const {
    return {checksum_.load(), signature_.load(), other_.load()};
  }

 private:
  void Note(std::atomic<std::uint64_t>& counter, const std::string& text) {
    ++counter;
    if (sink_) sink_(text);
  }

  TraceSink sink_;
  std::atomic<std::uint64_t> checksum_{0};
  std::atomic<std::uint64_t> signature_{0};
  std::atomic<std::uint64_t> other_{0};
};

}  // namespace pst
