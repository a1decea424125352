// Errors as values for the file reader: a Status names what is damaged and where; Result<T> holds
// either a value or that Status. Nothing in the reader throws or aborts on bad input.
#pragma once

#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pst {

enum class ErrorCode {
  kOk = 0,
  kNotFound,     // the object asked for does not exist (a missing property, an unknown node)
  kCorrupt,      // the file is damaged: bad sizes, offsets, checksums, cycles, wrong types
  kNotPst,       // the file is not a personal-folders file at all
  kUnsupported,  // a valid variant we do not read
  kIo,           // the operating system failed to read the file
  kLimit,        // a configured limit was reached (depth, size)
};

// What went wrong, in words a person can act on, with where it happened.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(ErrorCode code, std::string message) : code_(code), message_(std::move(message)) {}

  static Status Ok() { return Status(); }
  static Status NotFound(std::string m) { return {ErrorCode::kNotFound, std::move(m)}; }
  static Status Corrupt(std::string m) { return {ErrorCode::kCorrupt, std::move(m)}; }
  static Status NotPst(std::string m) { return {ErrorCode::kNotPst, std::move(m)}; }
  static Status Unsupported(std::string m) { return {ErrorCode::kUnsupported, std::move(m)}; }
  static Status Io(std::string m) { return {ErrorCode::kIo, std::move(m)}; }
  static Status Limit(std::string m) { return {ErrorCode::kLimit, std::move(m)}; }

  bool ok() const { return code_ == ErrorCode::kOk; }
  ErrorCode code() const { return code_; }
  const std::string& message() const { return message_; }
  // Lets PST_RETURN_IF_ERROR take a Status or a Result alike.
  const Status& status() const { return *this; }

 private:
  ErrorCode code_ = ErrorCode::kOk;
  std::string message_;
};

// A value or the Status that explains its absence.
// A Result made from an ok Status would be failed and hold no error; that is a programming error,
// stopped by an assertion in debug builds and turned into a kCorrupt status naming it otherwise, so
// that a caller passing the status on never reports success without a value.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}                     // NOLINT: implicit on purpose
  Result(Status status) : v_(FailedOnly(std::move(status))) {}  // NOLINT: implicit on purpose

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(v_); }
  T& value() & { return std::get<0>(v_); }
  // By value, so that `for (auto x : *Temporary())` does not refer into a destroyed Result.
  T value() && { return std::get<0>(std::move(v_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  T operator*() && { return std::move(*this).value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }
  // The error; Status::Ok() when a value is held.
  Status status() const { return ok() ? Status() : std::get<1>(v_); }

 private:
  static Status FailedOnly(Status status) {
    assert(!status.ok() && "a Result needs a value or an error");
    if (status.ok())
      return {ErrorCode::kCorrupt, "internal error: a result without value or error"};
    return status;
  }

  std::variant<T, Status> v_;
};

}  // namespace pst

// Returns the Status of a failed Result or Status expression from the enclosing function. Binds the
// expression by reference, so a Result held in a variable is neither copied nor moved.
#define PST_RETURN_IF_ERROR(expr)                       \
  do {                                                  \
    const auto& pst_status_ = (expr);                   \
    if (!pst_status_.ok()) return pst_status_.status(); \
  } while (0)

// Evaluates a Result expression; on failure returns its Status from the enclosing function, else
// moves the value into `lhs`, which may declare a variable: PST_ASSIGN_OR_RETURN(auto h, Open()).
#define PST_ASSIGN_OR_RETURN(lhs, expr) \
  PST_ASSIGN_OR_RETURN_IMPL_(PST_RESULT_CONCAT_(pst_result_, __LINE__), lhs, expr)
#define PST_ASSIGN_OR_RETURN_IMPL_(tmp, lhs, expr) \
  auto tmp = (expr);                               \
  if (!tmp.ok()) return tmp.status();              \
  lhs = std::move(tmp).value()
#define PST_RESULT_CONCAT_(a, b) PST_RESULT_CONCAT_INNER_(a, b)
#define PST_RESULT_CONCAT_INNER_(a, b) a##b
