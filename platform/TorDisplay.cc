// Diagnostic display of labelled values.
#include "torcommon13r/TorDisplay.h"

#include <iostream>

#include "torcommon13r/TorXML.h"

namespace TorDisplay_1_3 {

namespace {
std::ostream* gStream = nullptr;
}  // namespace

std::ostream* SetOutputStream(std::ostream* out) {
  std::ostream* previous = gStream;
  gStream = out;
  return previous;
}

std::ostream& GetOutputStream() { return gStream != nullptr ? *gStream : std::cout; }

void DisplayS(const std::string& label, const std::string& value) {
  GetOutputStream() << label << ": " << value << "\n";
}

void DisplayD(const std::string& label, double value) {
  GetOutputStream() << label << ": " << TorXML_1_3::ReplaceSep(value) << "\n";
}

void DisplayI(const std::string& label, int64_t value) {
  GetOutputStream() << label << ": " << value << "\n";
}

void DisplayB(const std::string& label, bool value) {
  GetOutputStream() << label << ": " << (value ? "true" : "false") << "\n";
}

void DisplayIV(const std::string& label, const std::vector<int>& values) {
  std::ostream& out = GetOutputStream();
  out << label << ":";
  for (int v : values) out << " " << v;
  out << "\n";
}

void DisplayText(const std::string& text) { GetOutputStream() << text << "\n"; }

}  // namespace TorDisplay_1_3
