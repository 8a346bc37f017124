#include "SummaryReport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>

namespace zelcli {

namespace {

struct Reason {
  const char* key;
  const char* text;
};

// The reasons for which a field is excluded, with what they mean to a user.
const Reason kExclusionReasons[] = {
    {"ScreenFeatureWithTooManyMissing", "too many missing values"},
    {"ScreenFeatureWithConstantValue", "constant value"},
    {"ScreenFeatureWithTooManyCasesInSingleCat", "too many records in one category"},
    {"ScreenFeatureWithTooManyCat", "too many categories"},
    {"ExcludeLowAssociationCate", "weak association with the target (categorical)"},
    {"ExcludeLowAssociationCont", "weak association with the target (continuous)"},
    {"ExcludeCoverdFeature", "covered by a constructed feature"},
    {"ExcludeConstantAfterOutlier", "constant after outlier handling"},
    {"ExcludeConstantAfterMerge", "constant after merging categories"},
    {"ExcludeConstantAfterBinning", "constant after binning"},
    {"ExcludeAfterConstruct", "excluded after feature construction"},
};

const Reason* FindReason(const std::string& key) {
  for (const Reason& reason : kExclusionReasons) {
    if (key == reason.key) return &reason;
  }
  return nullptr;
}

// Element names are compared without trailing blanks: the step summary's
// element is named with one.
bool IsNamed(const xmlNode* node, const char* name) {
  if (node->type != XML_ELEMENT_NODE) return false;
  const char* own = reinterpret_cast<const char*>(node->name);
  const std::size_t length = std::strlen(name);
  if (std::strncmp(own, name, length) != 0) return false;
  for (own += length; *own == ' '; ++own) {
  }
  return *own == '\0';
}

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return std::string();
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

long NumberAttribute(const xmlNode* node, const char* name) {
  return std::strtol(Attribute(node, name).c_str(), nullptr, 10);
}

Exclusion& ExclusionFor(DocumentSummary* summary, const std::string& key) {
  for (Exclusion& exclusion : summary->exclusions) {
    if (exclusion.reasonKey == key) return exclusion;
  }
  summary->exclusions.push_back(Exclusion{key, 0, {}});
  return summary->exclusions.back();
}

void ReadSummaryElement(const xmlNode* element, DocumentSummary* summary) {
  for (const xmlNode* child = element->children; child; child = child->next) {
    if (IsNamed(child, "ProcessingSummary")) {
      summary->present = true;
      summary->originalInputs = NumberAttribute(child, "originalIputFields");
      summary->recommended = NumberAttribute(child, "recommendedTotal");
    } else if (IsNamed(child, "StepSummary")) {
      for (const xmlNode* action = child->children; action; action = action->next) {
        if (!IsNamed(action, "Action")) continue;
        const std::string key = Attribute(action, "reasonKey");
        if (FindReason(key))
          ExclusionFor(summary, key).fields += NumberAttribute(action, "numOfFields");
      }
    }
  }
}

// The exclusion actions in a field's own extension name the field.
void ReadFieldActions(const xmlNode* field, DocumentSummary* summary) {
  const std::string name = Attribute(field, "name");
  for (const xmlNode* extension = field->children; extension; extension = extension->next) {
    if (!IsNamed(extension, "Extension")) continue;
    for (const xmlNode* action = extension->children; action; action = action->next) {
      if (!IsNamed(action, "Action")) continue;
      const std::string key = Attribute(action, "reasonKey");
      if (FindReason(key)) ExclusionFor(summary, key).names.push_back(name);
    }
  }
}

void Silent(void*, const char*, ...) {}

void Walk(const xmlNode* node, DocumentSummary* summary) {
  for (; node; node = node->next) {
    if (IsNamed(node, "Summary")) {
      ReadSummaryElement(node, summary);
    } else if (IsNamed(node, "DataField") || IsNamed(node, "DerivedField")) {
      ReadFieldActions(node, summary);
    } else {
      Walk(node->children, summary);
    }
  }
}

}  // namespace

bool ReadDocumentSummary(std::string_view document, DocumentSummary* summary) {
  // Huge nodes are allowed (a category may be a 10 MB cell), and libxml2
  // reports nothing of its own: the document is ours and was written whole.
  xmlSetStructuredErrorFunc(nullptr, [](void*, xmlErrorPtr) {});
  xmlSetGenericErrorFunc(nullptr, Silent);
  xmlDoc* doc =
      xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, nullptr,
                    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  xmlSetGenericErrorFunc(nullptr, nullptr);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  if (doc == nullptr) return false;
  Walk(xmlDocGetRootElement(doc), summary);
  xmlFreeDoc(doc);
  return true;
}

void PrintSummary(std::ostream& out, const DataShape& shape, const DocumentSummary& summary) {
  out << "read " << shape.records << " records of " << shape.fieldsRead << " fields; "
      << shape.fieldsHanded << " handed to the component\n";
  if (!summary.present) return;
  out << "fields recommended: " << summary.recommended << " (from " << summary.originalInputs
      << " input fields)\n";
  for (const Exclusion& exclusion : summary.exclusions) {
    const long count =
        exclusion.fields > 0 ? exclusion.fields : static_cast<long>(exclusion.names.size());
    out << "excluded for " << FindReason(exclusion.reasonKey)->text << ": " << count;
    for (std::size_t i = 0; i < exclusion.names.size(); ++i) {
      out << (i == 0 ? " (" : ", ") << exclusion.names[i];
    }
    out << (exclusion.names.empty() ? "\n" : ")\n");
  }
}

}  // namespace zelcli
