#include "SummaryReport.h"

#include <cstdlib>
#include <set>

#include "apply/ActionWords.h"
#include "apply/DocumentFacts.h"
#include "src/pmml/ZelSummaryNames.h"

namespace zelcli {

namespace {

Exclusion& ExclusionFor(DocumentSummary* summary, const std::string& key) {
  for (Exclusion& exclusion : summary->exclusions) {
    if (exclusion.reasonKey == key) return exclusion;
  }
  summary->exclusions.push_back(Exclusion{key, 0, {}});
  return summary->exclusions.back();
}

void ReadSteps(const zelapply::SummaryFact& facts, DocumentSummary* summary) {
  summary->present = facts.present;
  summary->originalInputs = facts.Count(zelsummary::kOriginalInputFields);
  summary->recommended = facts.Count("recommendedTotal");
  summary->targets = facts.Count("target");
  namespace Action = zelapply::Action;
  for (const zelapply::StepFact& step : facts.steps) {
    for (const zelapply::ActionFact& action : step.actions) {
      const std::string& key = action.reasonKey;
      const uint32_t taken = zelapply::ActionOf(key);
      if (taken == Action::kExcludeCatFeature || taken == Action::kExcludeContFeature) {
        summary->unassociated += action.fields;
      } else if (taken == Action::kBinContFeature) {
        summary->binned += action.fields;
      } else if (taken == Action::kZscoreContFeature || taken == Action::kMinMaxContFeature) {
        summary->rescaled += action.fields;
        summary->rescaling = taken == Action::kZscoreContFeature ? "z-score" : "min-max";
      }
      if (zelapply::ExclusionReasonText(key)) ExclusionFor(summary, key).fields += action.fields;
    }
  }
}

// The lines of the treatments, empty, in their order.
std::vector<Treatment> TreatmentLines() {
  std::vector<Treatment> lines;
  for (const zelapply::TreatmentWords& words : zelapply::Treatments()) {
    bool known = false;
    for (const Treatment& line : lines) known = known || line.line == words.summaryLine;
    if (known) continue;
    lines.push_back(Treatment{words.summaryLine, words.countsValues,
                              words.action == zelapply::Action::kTargetMeanCatFeature, 0, 0, {},
                              {}});
  }
  return lines;
}

Treatment* TreatmentFor(DocumentSummary* summary, const zelapply::TreatmentWords& words) {
  for (Treatment& line : summary->treatments) {
    if (line.line == words.summaryLine) return &line;
  }
  return nullptr;
}

// The exclusions in a field's own actions name the field, a derived one
// with the column it comes from in brackets ("pickup_date_year
// [pickup_date]"): several parts of one column are told apart. The
// treatments name the column a chain of them starts from: users know the
// columns of their file, not the intermediate fields.
void ReadFieldActions(const zelapply::DocumentFacts& facts, const zelapply::FieldFact& field,
                      DocumentSummary* summary) {
  for (const zelapply::ActionFact& action : field.actions) {
    const std::string& key = action.reasonKey;
    if (zelapply::ExclusionReasonText(key)) {
      const std::string origin = facts.Origin(field.name);
      ExclusionFor(summary, key)
          .names.push_back(origin == field.name ? origin : field.name + " [" + origin + "]");
    }
    const zelapply::TreatmentWords* words = zelapply::TreatmentOf(key);
    if (Treatment* line = words != nullptr ? TreatmentFor(summary, *words) : nullptr) {
      Treatment& treatment = *line;
      ++treatment.fields;
      // A replacement's second parameter is the number of values replaced.
      if (words->countsValues && action.parameters.size() > 1) {
        treatment.values += std::strtol(action.parameters[1].c_str(), nullptr, 10);
      }
      std::string name = facts.Origin(field.name);
      if (words->parameterWords != nullptr) {
        name += " (" + words->parameterWords(action.parameters) + ")";
      }
      treatment.names.push_back(name);
      treatment.made.push_back(field.name);
    }
  }
}

// The categories in and out of a merge's table.
void CountCategories(const zelapply::ExpressionNode& expression, Derivation* derivation) {
  if (expression.element != "MapValues") return;
  std::set<std::string> outputs;
  for (const zelapply::ExpressionNode& table : expression.children) {
    if (table.element != "InlineTable") continue;
    for (const zelapply::ExpressionNode& row : table.children) {
      if (row.element != "row") continue;
      ++derivation->sourceCategories;
      for (const zelapply::ExpressionNode& cell : row.children) {
        if (cell.element == "output") outputs.insert(cell.text);
      }
    }
  }
  derivation->mergedCategories = static_cast<long>(outputs.size());
}

// A derived field's first action names the step that made it.
void ReadDerivation(const zelapply::DocumentFacts& facts, const zelapply::FieldFact& field,
                    DocumentSummary* summary) {
  if (field.actions.empty()) return;
  namespace Action = zelapply::Action;
  const uint32_t made = zelapply::ActionOf(field.actions.front().reasonKey);
  std::vector<Derivation>* list = nullptr;
  if (made == Action::kMergeCatFeatureForSparse) list = &summary->sparseMerges;
  if (made == Action::kMergeCatFeatureForAsso) list = &summary->targetMerges;
  if (made == Action::kConstructContFeature) list = &summary->constructed;
  if (list == nullptr) return;
  Derivation derivation;
  derivation.name = field.name;
  for (const std::string& source : field.sources) derivation.sources.push_back(facts.Origin(source));
  CountCategories(field.expression, &derivation);
  list->push_back(std::move(derivation));
}

// The inputs of a line listed by input: each once, in the order of their
// first field, with its fields when it has several; "; " parts the inputs
// when any lists fields.
std::string ListByInput(const Treatment& treatment) {
  std::vector<std::string> inputs;
  std::vector<std::vector<std::string>> fields;
  for (std::size_t i = 0; i < treatment.names.size(); ++i) {
    std::size_t k = 0;
    while (k < inputs.size() && inputs[k] != treatment.names[i]) ++k;
    if (k == inputs.size()) {
      inputs.push_back(treatment.names[i]);
      fields.emplace_back();
    }
    fields[k].push_back(treatment.made[i]);
  }
  bool several = false;
  for (const auto& list : fields) several = several || list.size() > 1;
  std::string text;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    if (k > 0) text += several ? "; " : ", ";
    text += inputs[k];
    if (fields[k].size() < 2) continue;
    for (std::size_t f = 0; f < fields[k].size(); ++f) text += (f == 0 ? ": " : ", ") + fields[k][f];
  }
  return text;
}

void PrintTreatment(std::ostream& out, const Treatment& treatment) {
  if (treatment.fields == 0) return;
  out << treatment.line << ": ";
  if (treatment.countsValues) out << treatment.values << " in ";
  out << treatment.fields << (treatment.fields == 1 ? " field" : " fields");
  if (treatment.byInput) {
    out << " (" << ListByInput(treatment) << ")\n";
    return;
  }
  for (std::size_t i = 0; i < treatment.names.size(); ++i) {
    out << (i == 0 ? " (" : ", ") << treatment.names[i];
  }
  out << ")\n";
}

}  // namespace

bool ReadDocumentSummary(std::string_view document, DocumentSummary* summary) {
  zelapply::DocumentFacts facts;
  if (!zelapply::ReadDocumentFacts(document, &facts).ok()) return false;
  ReadSteps(facts.summary, summary);
  summary->treatments = TreatmentLines();
  for (const zelapply::FieldFact& field : facts.fields) {
    ReadFieldActions(facts, field, summary);
    if (field.derived) ReadDerivation(facts, field, summary);
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
    out << "excluded for " << zelapply::ExclusionReasonText(exclusion.reasonKey) << ": " << count;
    for (std::size_t i = 0; i < exclusion.names.size(); ++i) {
      out << (i == 0 ? " (" : ", ") << exclusion.names[i];
    }
    out << (exclusion.names.empty() ? "\n" : ")\n");
  }
  for (const Treatment& treatment : summary.treatments) PrintTreatment(out, treatment);
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
