// TorMV: the host's missing double, returned by numeric services that have no
// value to give (distribution functions on invalid arguments, unknown measures).
#ifndef TORCOMMON13R_TORMV_H_
#define TORCOMMON13R_TORMV_H_

namespace TorCommon_1_3 {
namespace TorMV {

// The lowest finite double: never a value a real record carries by accident
// and, unlike NaN, comparable with ==.
extern const double gMissingValue;

inline bool IsMissing(double value) { return value == gMissingValue; }

}  // namespace TorMV
}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORMV_H_
