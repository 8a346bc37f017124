// ProgressLine: one line on standard error, redrawn in place, telling which
// phase runs (reading the file, data pass n, writing), how many records it
// has read and the elapsed time. The component's milestones arrive through
// its listener interface; phases and record counts from the data-source
// library's loader and record sources. The source is rewound after every pass, skipped ones too,
// so its rewinds (not the reporter's count of completed passes) tell which
// pass runs.
#ifndef ZELCRAFT_CLI_PROGRESSLINE_H_
#define ZELCRAFT_CLI_PROGRESSLINE_H_

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "frame/host/HostInterfaces.h"
#include "io/ReadProgress.h"

namespace zelcli {

class ProgressLine : public TorCommon_1_3::IProgressListener, public zelio::ReadProgress {
 public:
  // A disabled line draws nothing.
  ProgressLine(std::ostream& out, bool enabled);

  // A phase of the host's own, such as reading the file.
  void StartPhase(const std::string& phase) override;
  // Records read so far in the current phase; redrawn at most ten times a
  // second, so calling it often costs little.
  void Records(int64_t count) override;
  // The record source was rewound after a pass that read `count` records.
  void PassEnded(int64_t count) override;
  void Report(TorCommon_1_3::ProgressReport& report) override;
  // Ends the line so that later messages start on their own line.
  void Finish();

 private:
  void Draw();
  // Shows the final count of the phase that ends, then starts `phase`.
  void Switch(const std::string& phase);
  std::string PassName() const;

  std::ostream& out_;
  bool enabled_;
  std::string phase_;
  int64_t records_ = 0;
  int passesEnded_ = 0;
  std::size_t drawnWidth_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_PROGRESSLINE_H_
