// Diagnostic display: labelled values written one per line to a settable
// output stream (standard output until a stream is set).
#ifndef TORCOMMON13R_TORDISPLAY_H_
#define TORCOMMON13R_TORDISPLAY_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace TorDisplay_1_3 {

// Returns the previous stream. Null restores standard output.
std::ostream* SetOutputStream(std::ostream* out);
std::ostream& GetOutputStream();

void DisplayS(const std::string& label, const std::string& value);
void DisplayD(const std::string& label, double value);
void DisplayI(const std::string& label, int64_t value);
void DisplayB(const std::string& label, bool value);
void DisplayIV(const std::string& label, const std::vector<int>& values);
void DisplayText(const std::string& text);

}  // namespace TorDisplay_1_3

#endif  // TORCOMMON13R_TORDISPLAY_H_
