// ProgressReport: what a progress listener can ask of a progress milestone,
// by measure name.
#ifndef TORCOMMON13R_PROGRESSREPORT_H_
#define TORCOMMON13R_PROGRESSREPORT_H_

#include <string>

namespace TorCommon_1_3 {

class ProgressReport {
 public:
  virtual ~ProgressReport();
  virtual int DiscreteMeasure(const std::string& name) const = 0;
  virtual double ScaleMeasure(const std::string& name) const = 0;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_PROGRESSREPORT_H_
