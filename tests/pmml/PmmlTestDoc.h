// Reading documents back in the PMML tests: a build's schema-valid document,
// a parsed document, element and attribute access in document order.
#ifndef ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_
#define ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <vector>

#include "support/SchemaCheck.h"
#include "support/TestHost.h"

namespace pmmltest {

class Doc {
 public:
  explicit Doc(const std::string& xml);
  // Null when the text did not parse.
  const xmlNode* Root() const;

 private:
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc_;
};

// Element children, all or those with the given name, in document order.
std::vector<const xmlNode*> Children(const xmlNode* node, const std::string& name = "");
// The first element child with that name; null when none.
const xmlNode* Child(const xmlNode* node, const std::string& name);
// The first of `nodes` whose attribute `attribute` is `value`; null when none.
const xmlNode* WithAttr(const std::vector<const xmlNode*>& nodes, const std::string& attribute,
                        const std::string& value);
// "" when absent.
std::string Attr(const xmlNode* node, const std::string& name);
std::string Text(const xmlNode* node);

// In document order, separated by single blanks: the names of the element
// children, and the attributes as name=value.
std::string ChildNames(const xmlNode* node);
std::string Attrs(const xmlNode* node);
// The subtree in one line: Name(attributes)[children], or Name(attributes):text
// for an element without element children.
std::string Tree(const xmlNode* node);
// The "value" of element `name` in the first Extension of `field`.
std::string ExtValue(const xmlNode* field, const std::string& name);

// The field element (DataField or DerivedField) named `name`, or null.
const xmlNode* FindField(const Doc& doc, const std::string& name);
// The "Summary" element of the vendor extension, or null.
const xmlNode* FindSummary(const Doc& doc);
// Attribute `attribute` of each of `nodes`, separated by "|".
std::string AttrOfEach(const std::vector<const xmlNode*>& nodes, const std::string& attribute);
// The fields "VariableSummary" names, in order, separated by "|".
std::string FieldRefs(const xmlNode* summary);

// The counts of "ProcessingSummary" agree with the field elements in use,
// tallied by their "ClassOfField".
void ExpectSummaryMatchesFields(const Doc& doc);

using schemacheck::IsSchemaValid;

// Builds `vars` over `source` with `settings` (in `build` when given) and
// returns the document; the build, the writing and the schema must pass.
std::string ValidDocument(TorCommon_1_3::TorVarList& vars, testhost::MemorySource& source,
                          TorCommon_1_3::TorSettings settings, testhost::Build* build = nullptr);

}  // namespace pmmltest

#endif  // ZELCRAFT_TESTS_PMML_PMMLTESTDOC_H_
