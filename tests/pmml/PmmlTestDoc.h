// Reading documents back in the PMML tests: a parsed document, element and
// attribute access in document order, schema validation when the PMML 4.0
// schema is at hand, and a common build setup.
#ifndef ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_
#define ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <string>
#include <vector>

#include "frame/host/TorSettings.h"

namespace pmmltest {

class Doc {
 public:
  explicit Doc(const std::string& xml);
  ~Doc();
  Doc(const Doc&) = delete;
  Doc& operator=(const Doc&) = delete;

  // Null when the text did not parse.
  const xmlNode* Root() const;

 private:
  xmlDoc* doc_;
};

// Element children, all or those with the given name, in document order.
std::vector<const xmlNode*> Children(const xmlNode* node, const std::string& name = "");
std::vector<std::string> ChildNames(const xmlNode* node);
// The first element child with that name; null when none.
const xmlNode* Child(const xmlNode* node, const std::string& name);
// The first of `nodes` whose attribute `attribute` is `value`; null when none.
const xmlNode* WithAttr(const std::vector<const xmlNode*>& nodes, const std::string& attribute,
                        const std::string& value);
std::vector<std::string> AttrNames(const xmlNode* node);
// "" when absent.
std::string Attr(const xmlNode* node, const std::string& name);
bool HasAttr(const xmlNode* node, const std::string& name);
std::string Text(const xmlNode* node);

// The field element (DataField or DerivedField) named `name`, or null.
const xmlNode* FindField(const Doc& doc, const std::string& name);
// The "Summary" element of the vendor extension, or null.
const xmlNode* FindSummary(const Doc& doc);

// The fields "VariableSummary" names, in order.
std::vector<std::string> FieldRefs(const xmlNode* summary);

// The counts of "ProcessingSummary" agree with the field elements in use,
// tallied by their "ClassOfField".
void ExpectSummaryMatchesFields(const Doc& doc);

bool SchemaAvailable();
::testing::AssertionResult IsSchemaValid(const std::string& xml);

// Settings that switch off every step after the measurement-level check, so
// that a document shows only what the early steps did.
TorCommon_1_3::TorSettings EarlyStepsOnly();

}  // namespace pmmltest

#endif  // ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_
