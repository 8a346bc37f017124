// ReadProgress: what the data-source library tells its host while it reads:
// the phase it starts (reading the file, writing prepared data), how many
// records the current phase has read, and each rewind of a record source
// after a data pass. Every call is cheap to make often; the host decides
// what to draw (the command line's progress line) or ignores it all, as the
// default does.
#ifndef ZELCRAFT_IO_READPROGRESS_H_
#define ZELCRAFT_IO_READPROGRESS_H_

#include <cstdint>
#include <string>

namespace zelio {

class ReadProgress {
 public:
  virtual ~ReadProgress() = default;
  virtual void StartPhase(const std::string& /*phase*/) {}
  virtual void Records(int64_t /*count*/) {}
  // A record source was rewound after a pass that read `count` records.
  virtual void PassEnded(int64_t /*count*/) {}

  // A listener that ignores everything, for hosts without a display.
  static ReadProgress& Silent() {
    static ReadProgress silent;
    return silent;
  }
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_READPROGRESS_H_
