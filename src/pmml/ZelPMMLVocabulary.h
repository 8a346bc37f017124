// ZelPMMLVocabulary: how field properties are spelled in the document:
// storage codes as PMML data types, measurement kinds as optypes, field
// kinds as the texts of "ClassOfField", and the escaping of category texts
// in the data dictionary.
#ifndef ZELCRAFT_PMML_ZELPMMLVOCABULARY_H_
#define ZELCRAFT_PMML_ZELPMMLVOCABULARY_H_

#include <string>

namespace ZelPMML {

// The `dataType` of a field of this storage; null when the attribute is
// left out (undefined or unknown storage).
const char* DataTypeOfStorage(int storage);

// The `dataType` of a duration's reference constant for a source of this
// storage. It differs from DataTypeOfStorage for times: a reference time is
// a number of seconds, not a time of day.
const char* ReferenceDataTypeOfStorage(int storage);

// "continuous", "categorical" or "ordinal"; null for a field without a
// measurement kind.
const char* OptypeOfMeasureKind(int kind);

// The "ClassOfField" text of a field kind; "" for an unknown kind.
const char* FieldKindText(int kind);

// A backslash before every double quote and every backslash.
std::string EscapeCategory(const std::string& category);

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELPMMLVOCABULARY_H_
