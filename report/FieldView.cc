#include "FieldView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "HtmlText.h"
#include "apply/ActionWords.h"

namespace zelreport {

namespace {

using zelapply::DocumentFacts;
using zelapply::FieldFact;
using zelapply::StatisticsFact;

// Where a field of a chain stands on the scale of the chain's start: value
// = slope × start + offset, within one run of affine steps (`segment`).
// Steps that change the scale otherwise (a Box-Cox target, a date's
// duration, a recast) start a new segment, across which nothing is mapped.
struct Scale {
  int segment = 0;
  double slope = 1.0;
  double offset = 0.0;
};

bool Numeric(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0';
}

// What every field's view needs to know of the others: which have a panel,
// and the constructed fields each input is covered by.
struct Neighbours {
  std::unordered_set<std::string> reported;
  std::unordered_map<std::string, std::vector<std::string>> constructedFrom;
};

// Chains are followed this far up: far beyond the chains a preparation
// makes (five or six steps), and near enough that a document of one long
// chain, every field of it reported, is drawn in time and bytes linear in
// its fields.
constexpr std::size_t kLongestChain = 64;

std::string FirstKey(const FieldFact& field) {
  return field.actions.empty() ? std::string() : field.actions.front().reasonKey;
}

// The action that made a derived field; Action::kCount when unknown.
uint32_t FirstAction(const FieldFact& field) { return zelapply::ActionOf(FirstKey(field)); }

bool IsMerge(uint32_t action) {
  return action == zelapply::Action::kMergeCatFeatureForSparse ||
         action == zelapply::Action::kMergeCatFeatureForAsso;
}

// The field `field` was made from, following its first source; null for a
// field made from none (or from one the document lacks) and for a
// constructed field, which starts a chain of its own.
const FieldFact* MadeFrom(const DocumentFacts& facts, const FieldFact& field) {
  if (!field.derived || field.sources.empty() ||
      FirstAction(field) == zelapply::Action::kConstructContFeature) {
    return nullptr;
  }
  return facts.Field(field.sources.front());
}

// The fields from the column a field comes from down to the field itself,
// at most kLongestChain of them; `*cut` says whether the chain goes on
// above its first field.
std::vector<const FieldFact*> Chain(const DocumentFacts& facts, const FieldFact& field,
                                    bool* cut) {
  std::vector<const FieldFact*> chain{&field};
  const FieldFact* source = MadeFrom(facts, field);
  for (; source != nullptr && chain.size() < kLongestChain; source = MadeFrom(facts, *source)) {
    chain.push_back(source);
  }
  *cut = source != nullptr;
  std::reverse(chain.begin(), chain.end());
  return chain;
}

std::vector<Scale> Scales(const std::vector<const FieldFact*>& chain) {
  std::vector<Scale> scales(chain.size());
  for (std::size_t i = 1; i < chain.size(); ++i) {
    Affine affine;
    if (ReadAffine(chain[i]->expression, &affine) && affine.field == chain[i - 1]->name &&
        affine.slope != 0.0 && std::isfinite(affine.slope)) {
      scales[i].segment = scales[i - 1].segment;
      scales[i].slope = affine.slope * scales[i - 1].slope;
      scales[i].offset = affine.slope * scales[i - 1].offset + affine.offset;
    } else {
      scales[i].segment = scales[i - 1].segment + 1;
    }
  }
  return scales;
}

std::size_t IndexOf(const std::vector<const FieldFact*>& chain, const std::string& name) {
  for (std::size_t i = 0; i < chain.size(); ++i) {
    if (chain[i]->name == name) return i;
  }
  return chain.size();
}

// `value` on the scale of chain[from], on the scale of chain[to]; false
// when the two scales are not affine images of each other.
bool MapValue(const std::vector<Scale>& scales, std::size_t from, std::size_t to, double value,
              double* mapped) {
  if (from >= scales.size() || to >= scales.size() ||
      scales[from].segment != scales[to].segment) {
    return false;
  }
  const double start = (value - scales[from].offset) / scales[from].slope;
  *mapped = scales[to].slope * start + scales[to].offset;
  return std::isfinite(*mapped);
}

// The mean of the field drawn and the marks of the chain's outlier bands and
// binnings, on the scale of chain[at]; marks on another scale are left out.
std::vector<Marker> Markers(const std::vector<const FieldFact*>& chain,
                            const std::vector<Scale>& scales, std::size_t at,
                            const StatisticsFact& stats) {
  std::vector<Marker> markers;
  if (stats.mean.present) markers.push_back({Marker::Kind::kMean, stats.mean.value});
  for (const FieldFact* field : chain) {
    OutlierBand band;
    Binning binning;
    double value = 0.0;
    if (ReadOutlierBand(field->expression, &band)) {
      const std::size_t from = IndexOf(chain, band.field);
      for (double cut : {band.Lower(), band.Upper()}) {
        if (MapValue(scales, from, at, cut, &value)) {
          markers.push_back({Marker::Kind::kCutoff, value});
        }
      }
    } else if (ReadBinning(field->expression, &binning)) {
      const std::size_t from = IndexOf(chain, binning.field);
      for (double edge : binning.edges) {
        if (MapValue(scales, from, at, edge, &value)) {
          markers.push_back({Marker::Kind::kBinEdge, value});
        }
      }
    }
  }
  return markers;
}

std::string Level(const FieldFact& field) {
  if (field.optype == "categorical") return "nominal";
  return field.optype.empty() ? std::string("unknown") : field.optype;
}

std::string Role(const FieldFact& field) {
  const std::string& kind = field.classOfField;
  if (kind == "target" || kind == "transformed target" || kind == "frequency weight" ||
      kind == "analysis weight") {
    return kind;
  }
  return "input";
}

bool IsDateOrTime(const FieldFact& field) {
  return field.dataType.compare(0, 4, "date") == 0 || field.dataType.compare(0, 4, "time") == 0;
}

std::string Distinct(const std::vector<std::pair<std::string, std::string>>& rows) {
  std::set<std::string> outputs;
  for (const auto& row : rows) outputs.insert(row.second);
  return std::to_string(outputs.size());
}

// The plain words for the step that made `field`.
std::string StepWords(const FieldFact& field) {
  const std::string key = FirstKey(field);
  const zelapply::ActionEntry* action = zelapply::FindAction(key);
  const uint32_t made = action != nullptr ? action->action : zelapply::Action::kCount;
  Binning binning;
  MergeTable table;
  OutlierBand band;
  if (IsMerge(made) && ReadMergeTable(field.expression, &table)) {
    return std::string(made == zelapply::Action::kMergeCatFeatureForSparse
                           ? "sparse categories merged"
                           : "categories merged alike for the target") +
           ": " + std::to_string(table.rows.size()) + " into " + Distinct(table.rows);
  }
  if (made == zelapply::Action::kBinContFeature && ReadBinning(field.expression, &binning)) {
    return "binned into " + std::to_string(binning.bins) + (binning.bins == 1 ? " bin" : " bins");
  }
  if (action != nullptr && action->step == zelapply::Step::kHandleMissingValue) {
    const auto& p = field.actions.front().parameters;
    std::string words = "missing values replaced";
    double value = 0.0;
    if (!p.empty()) words += " by " + (Numeric(p[0], &value) ? Figure(value, 6) : p[0]);
    if (p.size() > 1) words += " (" + p[1] + " values)";
    return words;
  }
  if (ReadOutlierBand(field.expression, &band)) {
    return std::string(band.toMissing ? "outliers set missing" : "outliers pulled in") +
           " beyond " + Figure(band.Lower()) + " and " + Figure(band.Upper());
  }
  if (made == zelapply::Action::kConstructContFeature) {
    return "constructed from " + std::to_string(field.sources.size()) + " inputs";
  }
  const zelapply::TreatmentWords* treatment = zelapply::TreatmentOf(key);
  if (treatment != nullptr && treatment->stepWords != nullptr) {
    std::string words = treatment->stepWords;
    if (treatment->parameterWords != nullptr) {
      words += ": " + treatment->parameterWords(field.actions.front().parameters);
    }
    return words;
  }
  const char* words = zelapply::DerivationText(key);
  if (words != nullptr) return words;
  return key.empty() ? std::string("derived") : key;
}

std::string StatusWords(const Neighbours& neighbours, const FieldFact& field) {
  if (field.enabled) return "used";
  for (const zelapply::ActionFact& action : field.actions) {
    if (const char* reason = zelapply::ExclusionReasonText(action.reasonKey)) {
      std::string words = std::string("excluded: ") + reason;
      const auto covering = neighbours.constructedFrom.find(field.name);
      if (zelapply::ActionOf(action.reasonKey) ==
              zelapply::Action::kExcludeContFeatureOfConstruct &&
          covering != neighbours.constructedFrom.end()) {
        for (const std::string& other : covering->second) words += " (" + Isolated(other) + ")";
      }
      return words;
    }
  }
  if (!field.derived && field.dataType == "dateTime") {
    return "not used: a timestamp, handed over without a measurement level";
  }
  if (!field.derived && IsDateOrTime(field)) {
    return "not used: a date or time, its parts are derived";
  }
  return "not used";
}

void AddCharts(const DocumentFacts& facts, const std::vector<const FieldFact*>& chain,
               FieldView* view) {
  const std::vector<Scale> scales = Scales(chain);
  const std::size_t self = chain.size() - 1;
  const bool constructed = FirstAction(*chain.back()) == zelapply::Action::kConstructContFeature;
  // The field's own figures, then those of the nearest field it was made from.
  std::vector<std::size_t> drawn;
  if (facts.Statistics(view->name) != nullptr) drawn.push_back(self);
  for (std::size_t i = self; i-- > 0 && !constructed;) {
    if (facts.Statistics(chain[i]->name) != nullptr) {
      drawn.push_back(i);
      break;
    }
  }
  const bool target = view->role == "transformed target";
  for (std::size_t at : drawn) {
    Chart chart;
    chart.field = chain[at];
    chart.stats = facts.Statistics(chain[at]->name);
    const std::string& name = chain[at]->name;
    if (at == self) {
      chart.caption = target ? "after the transformation: " + Isolated(name) : Isolated(name);
    } else {
      chart.caption = target ? "before the transformation: " + Isolated(name)
                             : "made from " + Isolated(name);
    }
    if (!chart.stats->histogramCounts.empty()) {
      chart.markers = Markers(chain, scales, at, *chart.stats);
    }
    if (view->merged && chart.stats->discrete) {
      const bool source = IndexOf(chain, view->merge.field) >= at && at != self;
      chart.byGroup = source || at == self;
      chart.ownGroups = at == self;
    }
    view->charts.push_back(chart);
  }
  if (drawn.empty()) view->notes.push_back("the document has no statistics for this field");
}

// A binning's cut points on the scale of the column the chain starts from,
// where they can be carried there: a user reads bins in the column's units.
std::string CutPoints(const std::vector<const FieldFact*>& chain, const std::vector<Scale>& scales,
                      const Binning& binning) {
  std::string points;
  double value = 0.0;
  for (double edge : binning.edges) {
    if (!MapValue(scales, IndexOf(chain, binning.field), 0, edge, &value)) return std::string();
    points += (points.empty() ? "" : ", ") + Figure(value, 5);
  }
  return points.empty() ? points
                        : ", cut at " + points + " (" + Isolated(chain.front()->name) + ")";
}

void AddSteps(const std::vector<const FieldFact*>& chain, bool cut, const Neighbours& neighbours,
              FieldView* view) {
  const std::vector<Scale> scales = Scales(chain);
  // The steps up to the nearest field with a panel of its own are that
  // panel's to list: the page refers to them rather than repeat them.
  std::size_t first = 0;
  for (std::size_t i = chain.size() - 1; i-- > 0;) {
    if (neighbours.reported.count(chain[i]->name) != 0) {
      view->madeFrom = chain[i]->name;
      first = i + 1;
      break;
    }
  }
  if (first == 0 && cut) view->steps.push_back("earlier steps from " + Isolated(view->origin));
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const FieldFact* field = chain[i];
    if (!field->derived || i < first) continue;
    Binning binning;
    view->steps.push_back(StepWords(*field));
    if (FirstAction(*field) == zelapply::Action::kBinContFeature &&
        ReadBinning(field->expression, &binning)) {
      view->steps.back() += CutPoints(chain, scales, binning);
    }
  }
  for (const FieldFact* field : chain) {
    MergeTable table;
    if (IsMerge(FirstAction(*field)) && ReadMergeTable(field->expression, &table)) {
      view->merged = true;
      view->merge = table;
    }
  }
  if (!view->merged) return;
  std::vector<std::string> labels;
  for (const auto& row : view->merge.rows) labels.push_back(row.second);
  std::sort(labels.begin(), labels.end(), [](const std::string& a, const std::string& b) {
    double x = 0.0, y = 0.0;
    if (Numeric(a, &x) && Numeric(b, &y)) return x < y;
    return a < b;
  });
  labels.erase(std::unique(labels.begin(), labels.end()), labels.end());
  view->groupLabels = labels;
}

FieldView ViewOf(const DocumentFacts& facts, const Neighbours& neighbours,
                 const std::string& name) {
  FieldView view;
  view.name = name;
  view.field = facts.Field(name);
  if (view.field == nullptr) {
    view.level = "unknown";
    view.role = "input";
    view.status = "not in the document's dictionaries";
    view.origin = name;
    if (facts.Statistics(name) != nullptr) {
      Chart chart;
      chart.caption = Isolated(name);
      chart.stats = facts.Statistics(name);
      view.charts.push_back(chart);
    }
    return view;
  }
  const FieldFact& field = *view.field;
  bool cut = false;
  const std::vector<const FieldFact*> chain = Chain(facts, field, &cut);
  const bool constructed = FirstAction(field) == zelapply::Action::kConstructContFeature;
  view.origin = constructed ? std::string() : cut ? field.origin : chain.front()->name;
  view.level = Level(field);
  view.role = Role(field);
  view.used = field.enabled;
  view.status = StatusWords(neighbours, field);
  view.power = field.predictivePower;
  AddSteps(chain, cut, neighbours, &view);
  AddCharts(facts, chain, &view);
  for (const Chart& chart : view.charts) {
    if (chart.stats->total > 0) {
      view.missingShare = chart.stats->missing / chart.stats->total;
      break;
    }
  }
  if (constructed && !ReadTerms(field.expression, &view.terms)) {
    view.terms.clear();
    view.notes.push_back("the constructed field's expression is not a sum of weighted inputs");
  }
  for (const Term& term : view.terms) view.termColumns.push_back(facts.Origin(term.field));
  return view;
}

}  // namespace

int FieldView::GroupOf(const std::string& category, bool ownGroups) const {
  auto index = [this](const std::string& label) {
    for (std::size_t i = 0; i < groupLabels.size(); ++i) {
      if (groupLabels[i] == label) return static_cast<int>(i);
    }
    double x = 0.0, y = 0.0;
    for (std::size_t i = 0; i < groupLabels.size(); ++i) {
      if (Numeric(groupLabels[i], &x) && Numeric(label, &y) && x == y) return static_cast<int>(i);
    }
    return -1;
  };
  if (ownGroups) return index(category);
  double x = 0.0, y = 0.0;
  for (const auto& row : merge.rows) {
    if (row.first == category) return index(row.second);
  }
  // Numbers may be written differently in the statistics and the table.
  for (const auto& row : merge.rows) {
    if (Numeric(row.first, &x) && Numeric(category, &y) && x == y) return index(row.second);
  }
  return -1;
}

void BuildModel(const DocumentFacts& facts, ReportModel* model) {
  *model = ReportModel();
  std::vector<std::string> names = facts.summary.reportedFields;
  if (names.empty()) {
    // An older document without its list: every field with statistics, or
    // else every field of the data dictionary.
    model->listed = false;
    for (const StatisticsFact& stats : facts.statistics) names.push_back(stats.field);
    if (names.empty()) {
      for (const FieldFact& field : facts.fields) {
        if (!field.derived) names.push_back(field.name);
      }
    }
  }
  Neighbours neighbours;
  neighbours.reported.insert(names.begin(), names.end());
  for (const FieldFact& field : facts.fields) {
    if (FirstAction(field) != zelapply::Action::kConstructContFeature) continue;
    for (const std::string& source : field.sources) {
      std::vector<std::string>& covering = neighbours.constructedFrom[source];
      if (covering.empty() || covering.back() != field.name) covering.push_back(field.name);
    }
  }
  std::unordered_set<std::string> seen;
  for (const std::string& name : names) {
    if (seen.insert(name).second) model->fields.push_back(ViewOf(facts, neighbours, name));
  }
  for (const FieldFact& field : facts.fields) {
    const std::string role = Role(field);
    if (role == "target") model->targets.push_back(Isolated(field.name));
    if (role == "transformed target") {
      model->targets.push_back(Isolated(field.name) + " (transformed from " +
                               Isolated(facts.Origin(field.name)) + ")");
    }
    if (role == "frequency weight" || role == "analysis weight") {
      model->weights.push_back(Isolated(field.name) + " (" + role + ")");
    }
  }
}

}  // namespace zelreport
