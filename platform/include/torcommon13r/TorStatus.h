// TorStatus: the outcome of any operation that can fail. Default-constructed
// means success; a non-zero code is an error, or a warning when built with the
// warning flag. Status values cross the library boundary instead of exceptions.
#ifndef TORCOMMON13R_TORSTATUS_H_
#define TORCOMMON13R_TORSTATUS_H_

namespace TorCommon_1_3 {

class TorStatus {
 public:
  TorStatus() = default;
  TorStatus(int code, bool warning) : code_(code), warning_(code != 0 && warning) {}

  // Success only; a warning is not OK.
  bool IsOK() const { return code_ == 0; }
  bool IsError() const { return code_ != 0 && !warning_; }
  bool IsWarning() const { return warning_; }
  int GetCode() const { return code_; }

  bool operator==(const TorStatus& other) const {
    return code_ == other.code_ && warning_ == other.warning_;
  }
  bool operator!=(const TorStatus& other) const { return !(*this == other); }

 private:
  int code_ = 0;
  bool warning_ = false;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORSTATUS_H_
