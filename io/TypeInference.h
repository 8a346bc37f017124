// TypeInference: finds the storage of one CSV column from its non-missing
// cells. Every cell removes the storages it cannot be read as; what remains
// decides, in the order integer, real, date, time, timestamp, else string.
#ifndef ZELCRAFT_IO_TYPEINFERENCE_H_
#define ZELCRAFT_IO_TYPEINFERENCE_H_

#include <string_view>

namespace zelio {

class TypeInference {
 public:
  void Add(std::string_view text);
  // A TorStorage code; real when no cell was added.
  int Result() const;
  // The storage every cell so far reads as, best first; integer before any
  // cell, string when no other is left.
  int Current() const;
  // Adds a cell already known to read as Current(), which is not string:
  // such a text reads as nothing else but the other numeric storage, so
  // only the candidates change and nothing is parsed again.
  void AddParsed();

  // What the cells so far allow, as two values that travel (the reads of a
  // file's byte ranges), and the inference of all their cells together.
  unsigned candidates() const { return candidates_; }
  bool seen() const { return seen_; }
  static TypeInference Of(unsigned candidates, bool seen);
  void Merge(const TypeInference& other) {
    candidates_ &= other.candidates_;
    seen_ = seen_ || other.seen_;
  }

 private:
  enum : unsigned {
    kInteger = 1u << 0,
    kReal = 1u << 1,
    kDate = 1u << 2,
    kTime = 1u << 3,
    kTimestamp = 1u << 4,
    kAll = (1u << 5) - 1
  };
  unsigned candidates_ = kAll;
  bool seen_ = false;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_TYPEINFERENCE_H_
