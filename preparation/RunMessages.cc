#include "preparation/RunMessages.h"

#include "frame/ZelFactory.h"

using ZelFrame::ZelFactory;

namespace zelprep {

std::string StatusMessage(int code) {
  const char* message = ZelFactory::DescribeStatusCode(code);
  return message ? message : "unknown status";
}

std::string DescribeStatus(const TorCommon_1_3::TorStatus& status) {
  return std::string(status.IsWarning() ? "warning " : "error ") +
         std::to_string(status.GetCode()) + ": " + StatusMessage(status.GetCode());
}

zelstatus::Status ComponentFailure(const TorCommon_1_3::TorStatus& status) {
  return zelstatus::Status::Component(DescribeStatus(status));
}

std::vector<std::string> WarningLines(const std::vector<std::string>& notes,
                                      const std::vector<TorCommon_1_3::TorStatus>& warnings,
                                      bool inapplicable) {
  std::vector<std::string> lines;
  for (const std::string& note : notes) lines.push_back("warning: " + note);
  std::string steps;
  for (const TorCommon_1_3::TorStatus& status : warnings) {
    const char* step =
        status.IsWarning() ? ZelFactory::DescribeInapplicableStep(status.GetCode()) : nullptr;
    if (step == nullptr) {
      lines.push_back(DescribeStatus(status));
    } else {
      steps += (steps.empty() ? "" : ", ") + std::string(step);
    }
  }
  if (inapplicable && !steps.empty()) lines.push_back("not applicable here: " + steps);
  return lines;
}

}  // namespace zelprep
