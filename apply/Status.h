// Status: the outcome of reading a document. Success carries no message; a
// failure says what is wrong and where ("line 12: Apply: unknown function
// 'sqrt'"). A read the host stopped is a failure of its own kind. Failures
// are returned, never thrown.
#ifndef ZELCRAFT_APPLY_STATUS_H_
#define ZELCRAFT_APPLY_STATUS_H_

#include <functional>
#include <string>
#include <utility>

namespace zelapply {

class Status {
 public:
  Status() = default;
  static Status Error(std::string message) { return Status(std::move(message), false); }
  static Status Interrupted() { return Status("interrupted", true); }

  bool ok() const { return message_.empty(); }
  bool interrupted() const { return interrupted_; }
  const std::string& message() const { return message_; }

 private:
  Status(std::string message, bool interrupted)
      : message_(std::move(message)), interrupted_(interrupted) {}
  std::string message_;
  bool interrupted_ = false;
};

// The host's answer to "stop now?", asked while a document is read and
// compiled (a signal, a user's interrupt); empty: never.
using StopCheck = std::function<bool()>;

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_STATUS_H_
