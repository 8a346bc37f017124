#include "StatsCsv.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "io/ByteSink.h"
#include "io/CsvWriter.h"

namespace zelcli {

namespace {

bool IsNamed(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* node, const char* name) {
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (IsNamed(child, name)) return child;
  }
  return nullptr;
}

std::string Attribute(const xmlNode* node, const char* name) {
  if (node == nullptr) return std::string();
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return std::string();
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

class StringSink : public zelio::ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes.data(), bytes.size());
    return true;
  }
  std::string text;
};

// A count: a whole number, which prints without a decimal separator.
std::string CountText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

// The optype of every data and derived field, by name.
void ReadOptypes(const xmlNode* node, std::map<std::string, std::string>* optypes) {
  for (; node; node = node->next) {
    if (IsNamed(node, "DataField") || IsNamed(node, "DerivedField")) {
      (*optypes)[Attribute(node, "name")] = Attribute(node, "optype");
    } else if (IsNamed(node, "DataDictionary") || IsNamed(node, "TransformationDictionary")) {
      ReadOptypes(node->children, optypes);
    }
  }
}

// The cells of one row; an empty text is an empty cell.
std::vector<std::string> Row(const xmlNode* stats, const std::string& optype) {
  const xmlNode* counts = Child(stats, "Counts");
  const double total = std::strtod(Attribute(counts, "totalFreq").c_str(), nullptr);
  const double missing = std::strtod(Attribute(counts, "missingFreq").c_str(), nullptr);
  const xmlNode* info = Child(stats, "NumericInfo");
  std::string skewness;
  for (const xmlNode* e = info != nullptr ? info->children : nullptr; e; e = e->next) {
    if (IsNamed(e, "Extension") && Attribute(e, "name") == "skewness") {
      skewness = Attribute(e, "value");
    }
  }
  const xmlNode* discrete = Child(stats, "DiscrStats");
  return {Attribute(stats, "field"),
          !optype.empty() ? optype : (info != nullptr ? "continuous" : "categorical"),
          CountText(total - missing),
          CountText(missing),
          Attribute(info, "mean"),
          Attribute(info, "minimum"),
          Attribute(info, "maximum"),
          Attribute(info, "standardDeviation"),
          skewness,
          discrete != nullptr ? Attribute(Child(discrete, "Array"), "n") : std::string()};
}

}  // namespace

bool MakeStatsCsv(std::string_view document, std::string* csv) {
  xmlDoc* doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                  XML_PARSE_HUGE);
  if (doc == nullptr) return false;
  const xmlNode* root = xmlDocGetRootElement(doc);
  if (root == nullptr) {
    xmlFreeDoc(doc);
    return false;
  }
  std::map<std::string, std::string> optypes;
  ReadOptypes(root->children, &optypes);
  StringSink sink;
  zelio::CsvWriter writer(sink, ',');
  for (const char* name : {"field", "kind", "count", "missing", "mean", "min", "max", "sd",
                           "skewness", "categories"}) {
    writer.Text(name);
  }
  writer.EndRow();
  std::set<std::string> written;
  for (const xmlNode* extension = root->children; extension; extension = extension->next) {
    if (!IsNamed(extension, "Extension")) continue;
    const xmlNode* vendor = Child(extension, "Zelcraft");
    for (const xmlNode* stats = vendor ? vendor->children : nullptr; stats; stats = stats->next) {
      if (!IsNamed(stats, "UnivariateStats")) continue;
      const std::string name = Attribute(stats, "field");
      if (!written.insert(name).second) continue;
      for (const std::string& cell : Row(stats, optypes[name])) {
        if (cell.empty()) {
          writer.Missing();
        } else {
          writer.Text(cell);
        }
      }
      writer.EndRow();
    }
  }
  writer.Flush();
  *csv = std::move(sink.text);
  xmlFreeDoc(doc);
  return true;
}

}  // namespace zelcli
