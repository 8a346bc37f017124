#include "support/SchemaCheck.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace schemacheck {

namespace {

void ReportAbsentSchema() {
  if (std::getenv("ZEL_REQUIRE_SCHEMA") != nullptr) {
    ADD_FAILURE() << "ZEL_REQUIRE_SCHEMA is set but the PMML 4.0 schema is missing: "
                  << ZEL_SCHEMA_PATH;
    return;
  }
  GTEST_SKIP() << "PMML 4.0 schema not found at " << ZEL_SCHEMA_PATH
               << "; documents not validated (configure with -DZEL_TEST_DATA_DIR=DIR)";
}

}  // namespace

::testing::AssertionResult IsSchemaValid(const std::string& xml) {
  if (!std::ifstream(ZEL_SCHEMA_PATH).good()) {
    ReportAbsentSchema();
    return ::testing::AssertionSuccess();
  }
  // Parsing the schema is slow; every test of a program shares one.
  static const std::unique_ptr<xmlSchema, void (*)(xmlSchemaPtr)> schema(
      [] {
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(ZEL_SCHEMA_PATH);
        xmlSchemaPtr parsed = parser != nullptr ? xmlSchemaParse(parser) : nullptr;
        xmlSchemaFreeParserCtxt(parser);
        return parsed;
      }(),
      xmlSchemaFree);
  if (!schema) return ::testing::AssertionFailure() << "the schema did not parse";
  std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      xmlFreeDoc);
  if (!doc) return ::testing::AssertionFailure() << "the document is not XML";
  xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(schema.get());
  const int result = xmlSchemaValidateDoc(context, doc.get());
  xmlSchemaFreeValidCtxt(context);
  if (result == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "schema validation failed (" << result << ")";
}

}  // namespace schemacheck
