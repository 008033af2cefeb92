#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zentora {

// The outcome of an operation that can fail with a message meant for the
// user. Core functions return these instead of throwing.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !message_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Empty when ok().
  const std::string& message() const {
    static const std::string kEmpty;
    return message_ ? *message_ : kEmpty;
  }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::optional<std::string> message_;
};

template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}           // NOLINT: implicit by design
  Result(Status failure) : error_(std::move(failure)) {}  // NOLINT: implicit by design

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const std::string& error() const { return error_.message(); }
  Status status() const { return ok() ? Status::Ok() : error_; }

 private:
  std::optional<T> value_;
  Status error_ = Status::Ok();
};

}  // namespace zentora
