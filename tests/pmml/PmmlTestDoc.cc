#include "pmml/PmmlTestDoc.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <fstream>
#include <map>

namespace pmmltest {

namespace {

std::string Str(const xmlChar* text) {
  return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

// Parsing the schema is slow; every test shares one.
struct Schema {
  xmlSchemaPtr schema = nullptr;
  Schema() {
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(ZEL_SCHEMA_PATH);
    if (parser == nullptr) return;
    schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
  }
  ~Schema() {
    if (schema != nullptr) xmlSchemaFree(schema);
  }
};

}  // namespace

Doc::Doc(const std::string& xml)
    : doc_(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "pmml.xml", nullptr,
                         XML_PARSE_NONET | XML_PARSE_NOBLANKS)) {}

Doc::~Doc() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

const xmlNode* Doc::Root() const { return doc_ != nullptr ? xmlDocGetRootElement(doc_) : nullptr; }

std::vector<const xmlNode*> Children(const xmlNode* node, const std::string& name) {
  std::vector<const xmlNode*> result;
  if (node == nullptr) return result;
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && (name.empty() || Str(child->name) == name)) {
      result.push_back(child);
    }
  }
  return result;
}

std::vector<std::string> ChildNames(const xmlNode* node) {
  std::vector<std::string> names;
  for (const xmlNode* child : Children(node)) names.push_back(Str(child->name));
  return names;
}

const xmlNode* Child(const xmlNode* node, const std::string& name) {
  const std::vector<const xmlNode*> found = Children(node, name);
  return found.empty() ? nullptr : found.front();
}

const xmlNode* WithAttr(const std::vector<const xmlNode*>& nodes, const std::string& attribute,
                        const std::string& value) {
  for (const xmlNode* node : nodes) {
    if (HasAttr(node, attribute) && Attr(node, attribute) == value) return node;
  }
  return nullptr;
}

std::vector<std::string> AttrNames(const xmlNode* node) {
  std::vector<std::string> names;
  if (node == nullptr) return names;
  for (const xmlAttr* attribute = node->properties; attribute != nullptr;
       attribute = attribute->next) {
    std::string name = Str(attribute->name);
    if (attribute->ns != nullptr && attribute->ns->prefix != nullptr) {
      name = Str(attribute->ns->prefix) + ":" + name;
    }
    names.push_back(name);
  }
  return names;
}

std::string Attr(const xmlNode* node, const std::string& name) {
  if (node == nullptr) return std::string();
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name.c_str()));
  std::string text = Str(value);
  xmlFree(value);
  return text;
}

bool HasAttr(const xmlNode* node, const std::string& name) {
  return node != nullptr && xmlHasProp(node, reinterpret_cast<const xmlChar*>(name.c_str()));
}

std::string Text(const xmlNode* node) {
  if (node == nullptr) return std::string();
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = Str(content);
  xmlFree(content);
  return text;
}

const xmlNode* FindField(const Doc& doc, const std::string& name) {
  const xmlNode* found =
      WithAttr(Children(Child(doc.Root(), "DataDictionary"), "DataField"), "name", name);
  if (found != nullptr) return found;
  return WithAttr(Children(Child(doc.Root(), "TransformationDictionary"), "DerivedField"), "name",
                  name);
}

const xmlNode* FindSummary(const Doc& doc) {
  return Child(Child(Child(doc.Root(), "Extension"), "Zelcraft"), "Summary");
}

std::vector<std::string> FieldRefs(const xmlNode* summary) {
  std::vector<std::string> names;
  for (const xmlNode* ref : Children(Child(summary, "VariableSummary"), "FieldRef")) {
    names.push_back(Attr(ref, "field"));
  }
  return names;
}

void ExpectSummaryMatchesFields(const Doc& doc) {
  std::map<std::string, int> inUse;
  std::vector<const xmlNode*> fields = Children(Child(doc.Root(), "DataDictionary"), "DataField");
  for (const xmlNode* derived :
       Children(Child(doc.Root(), "TransformationDictionary"), "DerivedField")) {
    fields.push_back(derived);
  }
  for (const xmlNode* field : fields) {
    const xmlNode* extension = Child(field, "Extension");
    if (Attr(Child(extension, "UsageType"), "value") == "enable") {
      ++inUse[Attr(Child(extension, "ClassOfField"), "value")];
    }
  }
  const xmlNode* counts = Child(FindSummary(doc), "ProcessingSummary");
  ASSERT_NE(counts, nullptr);
  const int original = inUse["original predictor"];
  const int transformed = inUse["transformed feature"];
  const int dateTime = inUse["derived form date and time"];
  const int constructed = inUse["constructed feature"];
  EXPECT_EQ(Attr(counts, "recommendedOriginalFields"), std::to_string(original));
  EXPECT_EQ(Attr(counts, "recommendedTransformationsOfOriginalFields"),
            std::to_string(transformed));
  EXPECT_EQ(Attr(counts, "recommendedDerivedFromDateTime"), std::to_string(dateTime));
  EXPECT_EQ(Attr(counts, "recommendedConstructed"), std::to_string(constructed));
  EXPECT_EQ(Attr(counts, "recommendedTotal"),
            std::to_string(original + transformed + dateTime + constructed));
  EXPECT_EQ(Attr(counts, "recommendedTarget"), std::to_string(inUse["target"]));
  EXPECT_EQ(Attr(counts, "recommendedTransformTarget"),
            std::to_string(inUse["transformed target"]));
}

bool SchemaAvailable() { return std::ifstream(ZEL_SCHEMA_PATH).good(); }

::testing::AssertionResult IsSchemaValid(const std::string& xml) {
  static Schema schema;
  if (schema.schema == nullptr) return ::testing::AssertionFailure() << "schema did not load";
  Doc doc(xml);
  if (doc.Root() == nullptr) return ::testing::AssertionFailure() << "not well-formed";
  xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(schema.schema);
  const int result = xmlSchemaValidateDoc(context, doc.Root()->doc);
  xmlSchemaFreeValidCtxt(context);
  if (result == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "schema validation failed (" << result << ")";
}

TorCommon_1_3::TorSettings EarlyStepsOnly() {
  TorCommon_1_3::TorSettings s;
  s.SetBool("detectFeatureOutliers", false);
  s.SetBool("replaceNominalFeaturesMissingValue", false);
  s.SetBool("replaceOrdinalFeaturesMissingValue", false);
  s.SetBool("replaceScaleFeaturesMissingValue", false);
  s.SetString("scaleFeatureRescalingMethod", "noRescaling");
  s.SetBool("supervisedBinning", false);
  s.SetBool("featureSelection", false);
  s.SetBool("featureConstruction", false);
  s.SetBool("supervisedMerging", false);
  s.SetBool("unsupervisedMergeOrdinal", false);
  s.SetBool("unsupervisedMergeNominal", false);
  return s;
}

}  // namespace pmmltest
