// Status: the outcome of reading a document. Success carries no message; a
// failure says what is wrong and where ("line 12: Apply: unknown function
// 'sqrt'"). Failures are returned, never thrown.
#ifndef ZELCRAFT_APPLY_STATUS_H_
#define ZELCRAFT_APPLY_STATUS_H_

#include <string>
#include <utility>

namespace zelapply {

class Status {
 public:
  Status() = default;
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return message_.empty(); }
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::string message_;
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_STATUS_H_
