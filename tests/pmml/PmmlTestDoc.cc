#include "pmml/PmmlTestDoc.h"

#include <libxml/parser.h>

#include <map>

namespace pmmltest {

namespace {

std::string Str(const xmlChar* text) {
  return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

std::string Join(const std::string& text, const std::string& more) {
  return text.empty() ? more : text + " " + more;
}

}  // namespace

std::string ValidDocument(TorCommon_1_3::TorVarList& vars, testhost::MemorySource& source,
                          TorCommon_1_3::TorSettings settings, testhost::Build* build) {
  testhost::Build own;
  testhost::Build& used = build != nullptr ? *build : own;
  used.Run(settings, vars, source);
  EXPECT_FALSE(used.executeStatus.IsError()) << used.executeStatus.GetCode();
  TorCommon_1_3::TorStatus status;
  const std::string xml = used.Pmml(&status);
  EXPECT_TRUE(status.IsOK()) << status.GetCode();
  EXPECT_TRUE(IsSchemaValid(xml));
  return xml;
}

Doc::Doc(const std::string& xml)
    : doc_(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "pmml.xml", nullptr,
                         XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_HUGE),
           xmlFreeDoc) {}

const xmlNode* Doc::Root() const { return doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr; }

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

const xmlNode* Child(const xmlNode* node, const std::string& name) {
  const std::vector<const xmlNode*> found = Children(node, name);
  return found.empty() ? nullptr : found.front();
}

const xmlNode* WithAttr(const std::vector<const xmlNode*>& nodes, const std::string& attribute,
                        const std::string& value) {
  for (const xmlNode* node : nodes) {
    if (xmlHasProp(node, reinterpret_cast<const xmlChar*>(attribute.c_str())) &&
        Attr(node, attribute) == value) {
      return node;
    }
  }
  return nullptr;
}

std::string Attr(const xmlNode* node, const std::string& name) {
  if (node == nullptr) return std::string();
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name.c_str()));
  std::string text = Str(value);
  xmlFree(value);
  return text;
}

std::string Text(const xmlNode* node) {
  if (node == nullptr) return std::string();
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = Str(content);
  xmlFree(content);
  return text;
}

std::string ChildNames(const xmlNode* node) {
  std::string names;
  for (const xmlNode* child : Children(node)) names = Join(names, Str(child->name));
  return names;
}

std::string Attrs(const xmlNode* node) {
  std::string text;
  for (const xmlAttr* a = node != nullptr ? node->properties : nullptr; a != nullptr; a = a->next) {
    const std::string prefix =
        a->ns != nullptr && a->ns->prefix != nullptr ? Str(a->ns->prefix) + ":" : std::string();
    xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
    text = Join(text, prefix + Str(a->name) + "=" + Str(value));
    xmlFree(value);
  }
  return text;
}

std::string Tree(const xmlNode* node) {
  if (node == nullptr) return "(null)";
  std::string text = Str(node->name);
  if (node->properties != nullptr) text += "(" + Attrs(node) + ")";
  std::string inner;
  for (const xmlNode* child : Children(node)) inner = Join(inner, Tree(child));
  if (!inner.empty()) return text + "[" + inner + "]";
  return Text(node).empty() ? text : text + ":" + Text(node);
}

std::string ExtValue(const xmlNode* field, const std::string& name) {
  return Attr(Child(Child(field, "Extension"), name), "value");
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

std::string AttrOfEach(const std::vector<const xmlNode*>& nodes, const std::string& attribute) {
  std::string values;
  for (const xmlNode* node : nodes)
    values += (node == nodes.front() ? "" : "|") + Attr(node, attribute);
  return values;
}

std::string FieldRefs(const xmlNode* summary) {
  return AttrOfEach(Children(Child(summary, "VariableSummary"), "FieldRef"), "field");
}

void ExpectSummaryMatchesFields(const Doc& doc) {
  std::map<std::string, int> inUse;
  std::vector<const xmlNode*> fields = Children(Child(doc.Root(), "DataDictionary"), "DataField");
  for (const xmlNode* derived :
       Children(Child(doc.Root(), "TransformationDictionary"), "DerivedField")) {
    fields.push_back(derived);
  }
  for (const xmlNode* field : fields) {
    if (ExtValue(field, "UsageType") == "enable") ++inUse[ExtValue(field, "ClassOfField")];
  }
  const xmlNode* counts = Child(FindSummary(doc), "ProcessingSummary");
  ASSERT_NE(counts, nullptr);
  const std::pair<const char*, const char*> tallies[] = {
      {"recommendedOriginalFields", "original predictor"},
      {"recommendedTransformationsOfOriginalFields", "transformed feature"},
      {"recommendedDerivedFromDateTime", "derived form date and time"},
      {"recommendedConstructed", "constructed feature"},
      {"recommendedTarget", "target"},
      {"recommendedTransformTarget", "transformed target"}};
  int total = 0;
  for (const auto& tally : tallies) {
    EXPECT_EQ(Attr(counts, tally.first), std::to_string(inUse[tally.second])) << tally.first;
    if (std::string(tally.second).find("target") == std::string::npos) total += inUse[tally.second];
  }
  EXPECT_EQ(Attr(counts, "recommendedTotal"), std::to_string(total));
}

}  // namespace pmmltest
