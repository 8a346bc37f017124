#include "ProgressLine.h"

#include <cstdio>

#include "frame/ZelReporter.h"

namespace zelcli {

namespace {
constexpr int kPasses = 7;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool enabled)
    : out_(out), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

void ProgressLine::StartPhase(const std::string& phase) { Switch(phase); }

void ProgressLine::Records(int64_t count) {
  records_ = count;
  if (enabled_ && std::chrono::steady_clock::now() - lastDraw_ >= kRedrawInterval) Draw();
}

void ProgressLine::PassEnded(int64_t count) {
  records_ = count;
  ++passesEnded_;
  Switch(PassName());
}

void ProgressLine::Report(TorCommon_1_3::ProgressReport& report) {
  const int stage = report.DiscreteMeasure("BuildStage");
  if (stage == ZelReporterConst::StagePrepared) {
    passesEnded_ = 0;
    Switch(PassName());
  } else if (stage == ZelReporterConst::StagePassesDone) {
    Switch("writing");
  }
}

std::string ProgressLine::PassName() const {
  if (passesEnded_ >= kPasses) return "finishing";
  return "pass " + std::to_string(passesEnded_ + 1) + "/" + std::to_string(kPasses);
}

void ProgressLine::Switch(const std::string& phase) {
  if (!phase_.empty() && records_ > 0) Draw();
  phase_ = phase;
  records_ = 0;
  Draw();
}

void ProgressLine::Draw() {
  if (!enabled_) return;
  lastDraw_ = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(lastDraw_ - start_).count();
  char text[128];
  std::snprintf(text, sizeof text, "%s: %lld records, %.1f s", phase_.c_str(),
                static_cast<long long>(records_), seconds);
  std::string line = text;
  // Blanks cover what a longer previous line left behind.
  const std::size_t width = line.size();
  if (width < drawnWidth_) line.append(drawnWidth_ - width, ' ');
  drawnWidth_ = width;
  out_ << '\r' << line << std::flush;
}

void ProgressLine::Finish() {
  if (enabled_ && drawnWidth_ > 0) out_ << '\n' << std::flush;
  drawnWidth_ = 0;
}

}  // namespace zelcli
