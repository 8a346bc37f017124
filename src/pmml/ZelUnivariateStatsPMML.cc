#include "pmml/ZelUnivariateStatsPMML.h"

#include <memory>
#include <string>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelFieldPMML.h"
#include "pmml/ZelPMMLVocabulary.h"
#include "pmml/ZelReportedFields.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;
using ZelStatistic::ZelContSummary;
using ZelStatistic::FormatDouble;

namespace {

TorStatus WrongClass() { return TorStatus(ZelStatusCode::kInconsistent, false); }

// A PMML "Array": every entry followed by one blank. The entries go in as
// one text rather than one text node each, which writes the same document.
class ArrayText {
 public:
  void Add(const std::string& entry) {
    text_ += entry;
    text_ += ' ';
    ++count_;
  }
  void AppendTo(XMLElement* parent, const char* type) const {
    XMLElement* array = parent->AppendChild(XMLElement::Create("Array"));
    array->AddAttribute("type", type);
    array->AddAttribute("n", count_);
    if (!text_.empty()) array->AppendText(text_);
  }

 private:
  std::string text_;
  int64_t count_ = 0;
};

void AppendCounts(XMLElement* stats, int64_t valid, int64_t missing) {
  XMLElement* counts = stats->AppendChild(XMLElement::Create("Counts"));
  counts->AddAttribute("totalFreq", FormatDouble(static_cast<double>(valid + missing)));
  counts->AddAttribute("missingFreq", FormatDouble(static_cast<double>(missing)));
}

// The equal-width bins' counts and means. Lists of different lengths would
// not pair up bin by bin; the arrays then stay empty.
void AppendHistogram(XMLElement* stats, const ZelStatistic::ZelUnivarContHistogram& histogram) {
  XMLElement* extension =
      stats->AppendChild(XMLElement::Create("ContStats"))->AppendChild(CreateExtension().release());
  extension->AddAttribute("name", "EqualWidthBinning");
  ArrayText counts;
  ArrayText means;
  if (histogram.GetCounts().size() == histogram.GetMeans().size()) {
    for (int64_t count : histogram.GetCounts()) {
      counts.Add(FormatDouble(static_cast<double>(count)));
    }
    for (double mean : histogram.GetMeans()) means.Add(FormatDouble(mean));
  }
  counts.AppendTo(extension, "int");
  means.AppendTo(extension, "real");
}

TorStatus FillContinuous(XMLElement* stats, const ZelVariableHandleInfo& field) {
  const auto* univariate = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field.GetUnivariate());
  if (univariate == nullptr) return WrongClass();
  const ZelContSummary& summary = univariate->GetSummary();
  AppendCounts(stats, summary.GetValidCount(), summary.GetMissingCount());
  XMLElement* info = stats->AppendChild(XMLElement::Create("NumericInfo"));
  info->AddAttribute("mean", FormatDouble(summary.GetMean()));
  info->AddAttribute("minimum", FormatDouble(summary.GetMinimum()));
  info->AddAttribute("maximum", FormatDouble(summary.GetMaximum()));
  info->AddAttribute("standardDeviation", FormatDouble(summary.GetStdDev()));
  if (summary.IsSkewnessValid()) {
    XMLElement* skewness = info->AppendChild(CreateExtension().release());
    skewness->AddAttribute("name", "skewness");
    skewness->AddAttribute("value", FormatDouble(summary.GetSkewness()));
  }
  if (!field.HasHistogramFlag()) return TorStatus();
  const auto* histogram =
      dynamic_cast<const ZelStatistic::ZelUnivarContHistogram*>(field.GetHistogram());
  if (histogram == nullptr) return WrongClass();
  AppendHistogram(stats, *histogram);
  return TorStatus();
}

TorStatus FillNumericCategories(XMLElement* stats, const ZelVariableHandleInfo& field) {
  const auto* univariate =
      dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(field.GetUnivariate());
  if (univariate == nullptr) return WrongClass();
  const ZelContSummary& summary = univariate->GetSummary();
  AppendCounts(stats, summary.GetValidCount(), summary.GetMissingCount());
  ArrayText frequencies;
  ArrayText values;
  for (const auto& entry : summary.GetFrequencies()) {
    frequencies.Add(FormatDouble(static_cast<double>(entry.second)));
    values.Add(FormatDouble(entry.first));
  }
  XMLElement* discrete = stats->AppendChild(XMLElement::Create("DiscrStats"));
  frequencies.AppendTo(discrete, "int");
  values.AppendTo(discrete, "real");
  return TorStatus();
}

TorStatus FillStringCategories(XMLElement* stats, const ZelVariableHandleInfo& field) {
  const auto* univariate =
      dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(field.GetUnivariate());
  if (univariate == nullptr) return WrongClass();
  AppendCounts(stats, univariate->GetValidCount(), univariate->GetMissingCount());
  ArrayText frequencies;
  ArrayText categories;
  for (const auto& entry : univariate->GetFrequencies()) {
    frequencies.Add(FormatDouble(static_cast<double>(entry.second)));
    // Blanks inside a category stay inside the quotes.
    categories.Add("\"" + EscapeCategory(entry.first) + "\"");
  }
  XMLElement* discrete = stats->AppendChild(XMLElement::Create("DiscrStats"));
  frequencies.AppendTo(discrete, "int");
  categories.AppendTo(discrete, "string");
  return TorStatus();
}

}  // namespace

TorStatus AppendUnivariateStats(XMLElement* vendor, const ZelVariableHandleList& fields) {
  for (int index : ChooseReportedFields(fields)) {
    const ZelVariableHandleInfo& field = *fields.GetHandle(index);
    const int kind = field.GetMeasureKind();
    if (kind == MeasureKind::kNone) continue;
    std::unique_ptr<XMLElement> stats(XMLElement::Create("UnivariateStats"));
    stats->AddAttribute("field", field.GetName());
    const TorStatus status = kind == MeasureKind::kContinuous ? FillContinuous(stats.get(), field)
                             : field.GetStorage() == TorCommon_1_3::kStorageString
                                 ? FillStringCategories(stats.get(), field)
                                 : FillNumericCategories(stats.get(), field);
    // A statistic of the wrong class fails before anything is written; a
    // field that only lacks its histogram still shows its other figures.
    if (!stats->GetChildren().empty()) vendor->AppendChild(stats.release());
    if (status.IsError()) return status;
  }
  return TorStatus();
}

}  // namespace ZelPMML
