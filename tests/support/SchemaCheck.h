// Validation of documents against the PMML 4.0 schema, shared by the suites.
// The schema lives outside the project: when it is absent the check skips
// the calling test loudly (the reason is in the output), and when the
// environment variable ZEL_REQUIRE_SCHEMA is set (CI sets it where the schema
// exists) an absent schema is a failure instead.
#ifndef ZELCRAFT_TESTS_SUPPORT_SCHEMACHECK_H_
#define ZELCRAFT_TESTS_SUPPORT_SCHEMACHECK_H_

#include <gtest/gtest.h>

#include <string>

namespace schemacheck {

// Use as EXPECT_TRUE(IsSchemaValid(xml)). Without the schema it records a
// skip (or a failure, see above) and returns success, so the test's other
// checks still run.
::testing::AssertionResult IsSchemaValid(const std::string& xml);

}  // namespace schemacheck

#endif  // ZELCRAFT_TESTS_SUPPORT_SCHEMACHECK_H_
