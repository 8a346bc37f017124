// Status: the outcome of an operation in the libraries and hosts around the
// component (io, apply, replay, preparation, report, host, cli and the
// bindings). Success carries nothing; a failure has a kind, which a host maps
// once to what its users see (an exit status, an exception class, an R
// condition), and a message that is shown as it is ("data.csv: line 12: 3
// cells where the header has 4"). The message is the whole text: callers
// never compare it, they test the kind. Where the failure sits in a text
// file, its line and column (from 1; 0: not known) come with it too.
//
// The component itself reports TorStatus values with their codes; a host
// turns one into a Status of kind kComponent whose message keeps the code.
// Depends on the standard library only, so every library may include it.
#ifndef ZELCRAFT_STATUS_STATUS_H_
#define ZELCRAFT_STATUS_STATUS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace zelstatus {

enum class Kind {
  kOk,
  kInvalidInput,   // the data, schema, settings, a document or an argument is wrong
  kInputOutput,    // a file cannot be opened, read or written
  kLimitExceeded,  // within its limits the input would be fine (memory, a document's nesting)
  kInterrupted,    // the host asked to stop
  kComponent,      // the component refused or failed; the message holds its code
  kInternal,       // what this program wrote cannot be read back: a fault of ours
};

class Status {
 public:
  Status() = default;  // success

  static Status InvalidInput(std::string message, int64_t line = 0, int64_t column = 0) {
    return Status(Kind::kInvalidInput, std::move(message), line, column);
  }
  static Status InputOutput(std::string message) {
    return Status(Kind::kInputOutput, std::move(message));
  }
  static Status LimitExceeded(std::string message) {
    return Status(Kind::kLimitExceeded, std::move(message));
  }
  static Status Interrupted(std::string message = "interrupted") {
    return Status(Kind::kInterrupted, std::move(message));
  }
  static Status Component(std::string message) {
    return Status(Kind::kComponent, std::move(message));
  }
  static Status Internal(std::string message) {
    return Status(Kind::kInternal, std::move(message));
  }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  bool interrupted() const { return kind_ == Kind::kInterrupted; }
  // The failure lies in what the user gave (every kind but the component's,
  // an internal fault and a stop).
  bool inputError() const {
    return kind_ == Kind::kInvalidInput || kind_ == Kind::kInputOutput ||
           kind_ == Kind::kLimitExceeded;
  }
  const std::string& message() const { return message_; }
  int64_t line() const { return line_; }
  int64_t column() const { return column_; }

  // The same failure, its message after `prefix` ("data.csv: "); success
  // and a stop stay as they are.
  Status Prefixed(std::string_view prefix) const {
    if (ok() || interrupted()) return *this;
    Status status = *this;
    status.message_.insert(0, prefix);
    return status;
  }

 private:
  Status(Kind kind, std::string message, int64_t line = 0, int64_t column = 0)
      : kind_(kind), message_(std::move(message)), line_(line), column_(column) {}

  Kind kind_ = Kind::kOk;
  std::string message_;
  int64_t line_ = 0;
  int64_t column_ = 0;
};

}  // namespace zelstatus

#endif  // ZELCRAFT_STATUS_STATUS_H_
