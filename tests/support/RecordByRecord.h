// The document a build writes when the component meets the data a record
// at a time: Execute over a source that hands out records only, which the
// pass gathers into batches itself, without blocks of rows, threads or
// merged states. The blocked, streamed, threaded and partitioned builds
// are held to it. The file, its schema, roles and settings are read as
// `zelcraft prepare` reads them, so that only the way the passes meet the
// rows differs.
#ifndef ZELCRAFT_TESTS_SUPPORT_RECORDBYRECORD_H_
#define ZELCRAFT_TESTS_SUPPORT_RECORDBYRECORD_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace clitest {

struct PrepareInputs {
  std::string csvPath;
  std::string schemaPath;  // empty: none
  std::string target;
  std::string frequencyWeight;
  std::string analysisWeight;
  std::vector<std::string> assignments;  // KEY=VALUE, as --set
};

// The document, or "" with `error` saying what failed.
std::string RecordByRecordDocument(const PrepareInputs& inputs, std::string* error);

// The document without what changes from run to run and between hosts:
// the header (application, version, time) and the processing time.
std::string Comparable(const std::string& document);

// Whether two documents are the same once numbers are set aside, with every
// number within `relative` of the other, or of the range of the field whose
// part of the document holds it (a mean near 0 amid large values agrees
// only to their rounding), or within `absolute`; the first difference
// otherwise.
::testing::AssertionResult SameNumbers(const std::string& a, const std::string& b,
                                       double relative = 1e-12, double absolute = 1e-13);

}  // namespace clitest

#endif  // ZELCRAFT_TESTS_SUPPORT_RECORDBYRECORD_H_
