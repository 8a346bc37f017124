// Names in the processing summary that the writer and the document's
// readers (the printed summary, the report) must spell alike. The count of
// input fields is spelled "originalIputFields", as the document format has
// it: a reader looking for the correct spelling would find nothing.
//
// This header depends on nothing: the document readers compile it too.
#ifndef ZELCRAFT_PMML_ZELSUMMARYNAMES_H_
#define ZELCRAFT_PMML_ZELSUMMARYNAMES_H_

namespace zelsummary {

inline constexpr const char kOriginalInputFields[] = "originalIputFields";

}  // namespace zelsummary

#endif  // ZELCRAFT_PMML_ZELSUMMARYNAMES_H_
