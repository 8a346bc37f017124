#include "SummaryReport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <cstring>
#include <map>
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
        } else if (key == "TransformZscore" || key == "TransformMinMax") {
          summary->rescaled += NumberAttribute(action, "numOfFields");
          summary->rescaling = key == "TransformZscore" ? "z-score" : "min-max";
        }
        if (FindReason(key))
          ExclusionFor(summary, key).fields += NumberAttribute(action, "numOfFields");
      }
    }
  }
}

// What a derived field's rule did to the values of its source; null for
// rules that change no values in place.
Treatment* TreatmentFor(DocumentSummary* summary, const std::string& key) {
  if (key == "OutlierTrim2ExtremeValue") return &summary->outliersTrimmed;
  if (key == "OutlierSet2MissingValue") return &summary->outliersSetMissing;
  if (key.compare(0, 14, "ReplaceMissing") == 0) return &summary->missingReplaced;
  return nullptr;
}

// Derived fields name their source; treatments are reported under the input
// field a chain of them starts from.
using Sources = std::map<std::string, std::string>;

// The exclusion actions in a field's own extension name the field; the
// treatments name the field's source, resolved once all fields are read.
void ReadFieldActions(const xmlNode* field, DocumentSummary* summary, Sources* sources) {
  const std::string name = Attribute(field, "name");
  for (const xmlNode* extension = field->children; extension; extension = extension->next) {
    if (!IsNamed(extension, "Extension")) continue;
    for (const xmlNode* child = extension->children; child; child = child->next) {
      if (IsNamed(child, "SourceField")) (*sources)[name] = Attribute(child, "value");
    }
    for (const xmlNode* action = extension->children; action; action = action->next) {
      if (!IsNamed(action, "Action")) continue;
      const std::string key = Attribute(action, "reasonKey");
      if (FindReason(key)) ExclusionFor(summary, key).names.push_back(name);
      if (Treatment* treatment = TreatmentFor(summary, key)) {
        ++treatment->fields;
        // A replacement's second parameter is the number of values replaced.
        treatment->values += NumberAttribute(action, "parameter2");
        treatment->names.push_back(name);
      }
    }
  }
}

std::string RootOf(std::string name, const Sources& sources) {
  for (std::size_t steps = 0; steps <= sources.size(); ++steps) {
    const auto source = sources.find(name);
    if (source == sources.end()) break;
    name = source->second;
  }
  return name;
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

void Silent(void*, const char*, ...) {}

void Walk(const xmlNode* node, DocumentSummary* summary, Sources* sources) {
  for (; node; node = node->next) {
    if (IsNamed(node, "Summary")) {
      ReadSummaryElement(node, summary);
    } else if (IsNamed(node, "DataField") || IsNamed(node, "DerivedField")) {
      ReadFieldActions(node, summary, sources);
      if (IsNamed(node, "DerivedField")) ReadDerivation(node, summary);
    } else {
      Walk(node->children, summary, sources);
    }
  }
}

void PrintTreatment(std::ostream& out, const char* what, const Treatment& treatment,
                    bool withValues) {
  if (treatment.fields == 0) return;
  out << what << ": ";
  if (withValues) out << treatment.values << " in ";
  out << treatment.fields << (treatment.fields == 1 ? " field" : " fields");
  for (std::size_t i = 0; i < treatment.names.size(); ++i) {
    out << (i == 0 ? " (" : ", ") << treatment.names[i];
  }
  out << ")\n";
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
  Sources sources;
  Walk(xmlDocGetRootElement(doc), summary, &sources);
  xmlFreeDoc(doc);
  for (Treatment* treatment :
       {&summary->outliersTrimmed, &summary->outliersSetMissing, &summary->missingReplaced}) {
    for (std::string& name : treatment->names) name = RootOf(name, sources);
  }
  // Users know the columns of their file, not the intermediate fields.
  for (Exclusion& exclusion : summary->exclusions) {
    for (std::string& name : exclusion.names) name = RootOf(name, sources);
  }
  for (std::vector<Derivation>* list :
       {&summary->sparseMerges, &summary->targetMerges, &summary->constructed}) {
    for (Derivation& derivation : *list) {
      for (std::string& name : derivation.sources) name = RootOf(name, sources);
    }
  }
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
  PrintTreatment(out, "outliers trimmed to the cutoff", summary.outliersTrimmed, false);
  PrintTreatment(out, "outliers set to missing", summary.outliersSetMissing, false);
  PrintTreatment(out, "missing values replaced", summary.missingReplaced, true);
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
  if (summary.rescaled > 0) {
    out << "continuous inputs rescaled (" << summary.rescaling << "): " << summary.rescaled << "\n";
  }
  if (summary.targets > 0) {
    out << "against the target: " << summary.unassociated
        << " inputs excluded for lack of association, " << summary.binned << " binned\n";
  }
}

}  // namespace zelcli
