// DocumentFacts: what a preparation document says, as plain values, for the
// readers that explain a preparation rather than replay it (the printed
// summary, the statistics file, the report, the Python package). Every
// field of the data and transformation dictionaries with its vendor
// extension (usage, the actions that made or excluded it, its sources,
// predictive power, range), its expression as a small tree, the processing
// summary and the field statistics. The document is read here and nowhere
// else beside the replay engine, so a new element is taught once.
#ifndef ZELCRAFT_APPLY_DOCUMENTFACTS_H_
#define ZELCRAFT_APPLY_DOCUMENTFACTS_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "StopCheck.h"
#include "status/Status.h"
#include "HostHeader.h"

namespace zelapply {

// A number as the document writes it; `present` is false when absent.
struct NumberFact {
  bool present = false;
  double value = 0.0;
  std::string text;
};

// An element of an expression: its local name, attributes in document
// order, text (for Constant) and child elements.
struct ExpressionNode {
  std::string element;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;
  std::vector<ExpressionNode> children;

  // Empty when absent.
  std::string Attribute(std::string_view name) const;
};

// One Action of a field or of a step summary.
struct ActionFact {
  std::string stepKey;
  std::string reasonKey;
  // parameter, parameter2, parameter3 up to the last one given; an absent
  // one before it is empty.
  std::vector<std::string> parameters;
  long fields = 0;                      // numOfFields, in step summaries
};

struct ValueFact {
  std::string value;
  std::string displayValue;
  std::string property;
};

struct FieldFact {
  std::string name;
  std::string displayName;
  std::string optype;
  std::string dataType;
  bool derived = false;  // a DerivedField of the transformation dictionary
  bool enabled = false;  // its usage is "enable"
  std::string classOfField;
  std::vector<std::string> sources;  // the fields it was computed from
  std::vector<ActionFact> actions;   // what made it, then what excluded it
  NumberFact predictivePower;
  NumberFact low;  // the range the build saw (Interval margins)
  NumberFact high;
  std::vector<ValueFact> values;
  // Named vendor extensions (noSpaceTrim, invalidRangeLower, ...).
  std::vector<std::pair<std::string, std::string>> extensions;
  // Derived fields: the expression (Apply, MapValues, Discretize, ...).
  ExpressionNode expression;
  // The input field a chain of derived fields starts from (the field itself
  // for a data field, or the column of timestamps it is a part of; the first
  // source at each step); set by Index().
  std::string origin;
};

struct StatisticsFact {
  std::string field;
  double total = 0.0;    // records, missing ones included
  double missing = 0.0;
  bool numeric = false;  // has NumericInfo
  NumberFact mean;
  NumberFact minimum;
  NumberFact maximum;
  NumberFact standardDeviation;
  NumberFact skewness;
  // Categorical fields: the categories (unquoted) and their frequencies.
  bool discrete = false;
  std::vector<std::string> categories;
  std::vector<double> frequencies;
  // Continuous fields: equal-width bins from minimum to maximum.
  std::vector<double> histogramCounts;
  std::vector<double> histogramMeans;
};

struct StepFact {
  std::string stepKey;
  long inputs = 0;
  long outputs = 0;
  std::vector<ActionFact> actions;
};

struct SummaryFact {
  bool present = false;  // the document has a processing summary
  std::vector<std::pair<std::string, std::string>> counts;  // ProcessingSummary attributes
  std::vector<std::string> warnings;                        // its Warning values
  std::vector<StepFact> steps;
  std::vector<std::string> reportedFields;  // VariableSummary

  // A count of ProcessingSummary as a number; 0 when absent.
  long Count(std::string_view name) const;
};

struct DocumentFacts {
  std::string application;
  std::string applicationVersion;
  std::string timestamp;
  std::string copyright;
  std::vector<FieldFact> fields;  // data fields, then derived fields, in document order
  SummaryFact summary;
  std::vector<StatisticsFact> statistics;  // in document order; a field may repeat
  bool hasTargetInverse = false;
  FieldFact targetInverse;
  // Data fields a host made from a column of timestamps: their origin is
  // that column.
  std::vector<TimestampPart> timestampParts;
  // The reference of durations when a host took it from the data: the
  // latest date ("YYYY-MM-DD") and time of day ("HH:MM:SS"); empty
  // otherwise.
  std::string referenceDateFromData;
  std::string referenceTimeFromData;

  // Null when the document has no field of that name (the first one, when
  // a name repeats).
  const FieldFact* Field(std::string_view name) const;
  // The first statistics of the field; null when it has none.
  const StatisticsFact* Statistics(std::string_view name) const;
  // The input field a chain of derived fields starts from (the field itself
  // for a data field, the first source at each step); the name itself for a
  // field the document does not have.
  std::string Origin(const std::string& name) const;

  // Builds the look-ups by name and the fields' origins, in time linear in
  // the fields; ReadDocumentFacts does, and so must whoever changes
  // `fields` or `statistics` afterwards.
  void Index();

 private:
  std::unordered_map<std::string, std::size_t> fieldIndex_;
  std::unordered_map<std::string, std::size_t> statisticsIndex_;
};

// A text that is not well-formed XML or not a PMML document is an error;
// whatever else the document lacks is simply absent from the facts. `stop`
// is asked between pieces of the text; when it says yes, the status is
// Interrupted.
zelstatus::Status ReadDocumentFacts(std::string_view text, DocumentFacts* facts,
                                    const StopCheck& stop = StopCheck());

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_DOCUMENTFACTS_H_
