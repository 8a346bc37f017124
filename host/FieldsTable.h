// FieldsTable: what a document says of each of its fields, as the rows of
// the fields table the packages show (one per data or derived field, in
// document order, and one for each column of timestamps a host handed over
// as its date and its time of day, before them), and the categories of each categorical or ordinal field
// in the document's order, which the packages give their prepared
// categorical columns. Read from the document's facts only.
#ifndef ZELCRAFT_HOST_FIELDSTABLE_H_
#define ZELCRAFT_HOST_FIELDSTABLE_H_

#include <string>
#include <vector>

#include "apply/DocumentFacts.h"

namespace zelhost {

struct FieldRow {
  std::string name;
  std::string source;  // the input field its chain of derived fields starts from
  std::string kind;    // its class (target, transformed feature, ...), else input
                       // or derived
  std::string level;   // the optype
  std::string type;    // the dataType
  bool used = false;
  std::string reason;     // why it was excluded, in words; empty when it was not
  std::string reasonKey;  // the same as the document's key
  zelapply::NumberFact predictivePower;
  std::string steps;  // the reason keys of the steps that made it, ", " between them
};

std::vector<FieldRow> FieldsTable(const zelapply::DocumentFacts& facts);

// The field's valid values in document order; when it lists none, the
// categories its statistics report; empty for a continuous field.
std::vector<std::string> FieldCategories(const zelapply::DocumentFacts& facts,
                                         const zelapply::FieldFact& field);

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_FIELDSTABLE_H_
