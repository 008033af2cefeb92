#pragma once

#include <string>
#include <utility>

#include "base/result.h"

namespace zentora {

// How an operation the user may cancel ended: done, cancelled, or failed
// with a message meant for the user. A failure carries its message as a
// Status does, so the two convert into each other.
class Outcome {
 public:
  static Outcome Done() { return Outcome(Kind::kDone, Status::Ok()); }
  static Outcome Cancelled() { return Outcome(Kind::kCancelled, Status::Ok()); }
  static Outcome Failed(std::string message) {
    return Outcome(Kind::kFailed, Status::Failure(std::move(message)));
  }

  bool done() const { return kind_ == Kind::kDone; }
  bool cancelled() const { return kind_ == Kind::kCancelled; }
  bool failed() const { return kind_ == Kind::kFailed; }
  // Empty unless failed().
  const std::string& message() const { return failure_.message(); }

 private:
  enum class Kind { kDone, kCancelled, kFailed };
  Outcome(Kind kind, Status failure) : kind_(kind), failure_(std::move(failure)) {}

  Kind kind_;
  Status failure_;
};

}  // namespace zentora
