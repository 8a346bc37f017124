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

#include "support/DocumentNumbers.h"

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

using docnumbers::Comparable;

// Whether two documents agree (docnumbers::NumbersDiffer); the first
// difference otherwise.
inline ::testing::AssertionResult SameNumbers(const std::string& a, const std::string& b,
                                              double relative = 1e-12, double absolute = 1e-13) {
  const std::string difference = docnumbers::NumbersDiffer(a, b, relative, absolute);
  if (difference.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << difference;
}

}  // namespace clitest

#endif  // ZELCRAFT_TESTS_SUPPORT_RECORDBYRECORD_H_
