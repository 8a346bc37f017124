// Documents of two paths compared: the same once numbers are set aside, and
// every number within a relative tolerance of the other, or of the range of
// the field whose part of the document holds it (a mean near 0 amid large
// values agrees only to their rounding), or within an absolute one. Shared
// by the suites that hold the paths to each other and fuzz_hard_tables.
#ifndef ZELCRAFT_TESTS_SUPPORT_DOCUMENTNUMBERS_H_
#define ZELCRAFT_TESTS_SUPPORT_DOCUMENTNUMBERS_H_

#include <string>

namespace docnumbers {

// The document without what changes from run to run and between hosts:
// the header (application, version, time) and the processing time.
std::string Comparable(const std::string& document);

// The first difference, or empty when the documents agree.
std::string NumbersDiffer(const std::string& a, const std::string& b, double relative = 1e-12,
                          double absolute = 1e-13);

}  // namespace docnumbers

#endif  // ZELCRAFT_TESTS_SUPPORT_DOCUMENTNUMBERS_H_
