#include "SummaryReport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>
#include <set>

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
      summary->targets = NumberAttribute(child, "target");
    } else if (IsNamed(child, "StepSummary")) {
      for (const xmlNode* action = child->children; action; action = action->next) {
        if (!IsNamed(action, "Action")) continue;
        const std::string key = Attribute(action, "reasonKey");
        if (key == "ExcludeLowAssociationCate" || key == "ExcludeLowAssociationCont") {
          summary->unassociated += NumberAttribute(action, "numOfFields");
        } else if (key == "BinValues") {
          summary->binned += NumberAttribute(action, "numOfFields");
        }
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

std::string Text(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  if (content == nullptr) return std::string();
  std::string text(reinterpret_cast<const char*>(content));
  xmlFree(content);
  return text;
}

const xmlNode* FirstChild(const xmlNode* node, const char* name) {
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (IsNamed(child, name)) return child;
  }
  return nullptr;
}

// The categories in and out of a merge's table.
void CountCategories(const xmlNode* field, Derivation* derivation) {
  const xmlNode* map = FirstChild(field, "MapValues");
  const xmlNode* table = map != nullptr ? FirstChild(map, "InlineTable") : nullptr;
  if (table == nullptr) return;
  std::set<std::string> outputs;
  for (const xmlNode* row = table->children; row; row = row->next) {
    if (!IsNamed(row, "row")) continue;
    ++derivation->sourceCategories;
    if (const xmlNode* output = FirstChild(row, "output")) outputs.insert(Text(output));
  }
  derivation->mergedCategories = static_cast<long>(outputs.size());
}

// A derived field's first action names the step that made it.
void ReadDerivation(const xmlNode* field, DocumentSummary* summary) {
  const xmlNode* extension = FirstChild(field, "Extension");
  const xmlNode* made = extension != nullptr ? FirstChild(extension, "Action") : nullptr;
  if (made == nullptr) return;
  const std::string key = Attribute(made, "reasonKey");
  std::vector<Derivation>* list = key == "Merge4HandleSpareCategories" ? &summary->sparseMerges
                                  : key == "Merge4MaximizeAssociation" ? &summary->targetMerges
                                  : key == "Construct"                 ? &summary->constructed
                                                                       : nullptr;
  if (list == nullptr) return;
  Derivation derivation;
  derivation.name = Attribute(field, "name");
  for (const xmlNode* child = extension->children; child; child = child->next) {
    if (IsNamed(child, "SourceField")) derivation.sources.push_back(Attribute(child, "value"));
  }
  CountCategories(field, &derivation);
  list->push_back(std::move(derivation));
}

void Walk(const xmlNode* node, DocumentSummary* summary) {
  for (; node; node = node->next) {
    if (IsNamed(node, "Summary")) {
      ReadSummaryElement(node, summary);
    } else if (IsNamed(node, "DataField") || IsNamed(node, "DerivedField")) {
      ReadFieldActions(node, summary);
      if (IsNamed(node, "DerivedField")) ReadDerivation(node, summary);
    } else {
      Walk(node->children, summary);
    }
  }
}

}  // namespace

bool ReadDocumentSummary(std::string_view document, DocumentSummary* summary) {
  xmlDoc* doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
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
  auto merges = [&out](const char* what, const std::vector<Derivation>& list) {
    for (const Derivation& merge : list) {
      out << what << ": " << (merge.sources.empty() ? std::string("?") : merge.sources.front())
          << ", " << merge.sourceCategories << " categories into " << merge.mergedCategories
          << " (" << merge.name << ")\n";
    }
  };
  merges("merged sparse categories", summary.sparseMerges);
  merges("merged categories alike for the target", summary.targetMerges);
  for (const Derivation& feature : summary.constructed) {
    out << "constructed " << feature.name << " from";
    for (std::size_t i = 0; i < feature.sources.size(); ++i) {
      out << (i == 0 ? " " : ", ") << feature.sources[i];
    }
    out << "\n";
  }
  if (summary.targets > 0) {
    out << "against the target: " << summary.unassociated
        << " inputs excluded for lack of association, " << summary.binned << " binned\n";
  }
}

}  // namespace zelcli
