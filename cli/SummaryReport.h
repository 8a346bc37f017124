// SummaryReport: the short account printed after a successful run. Its
// figures are read back from the processing summary in the written document
// (fields read, fields recommended, the fields each exclusion reason
// removed, and the fields made by merging categories or constructed from
// several inputs), so the report never disagrees with the document.
#ifndef ZELCRAFT_CLI_SUMMARYREPORT_H_
#define ZELCRAFT_CLI_SUMMARYREPORT_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zelcli {

struct Exclusion {
  std::string reasonKey;
  long fields = 0;                 // from the step summaries
  std::vector<std::string> names;  // from the fields' own actions
};

// The values a step changed in place, on a line of its own (a line of
// zelapply::Treatments()): how many fields, how many values (when the line
// counts them), and the input fields they belong to. Target means of a
// target with several classes make one field per class of each input: the
// line names the input once, with its fields ("cat: cat_TargetEncoded_a,
// cat_TargetEncoded_b").
struct Treatment {
  std::string line;  // the line's heading
  bool countsValues = false;
  bool byInput = false;  // the fields listed under their input
  long fields = 0;
  long values = 0;
  std::vector<std::string> names;
  std::vector<std::string> made;  // the fields themselves, beside `names`
};

// A derived field that merged the categories of another, or one constructed
// from several inputs, as its DerivedField tells.
struct Derivation {
  std::string name;
  std::vector<std::string> sources;
  long sourceCategories = 0;  // merges: rows of the table
  long mergedCategories = 0;  // merges: distinct outputs
};

struct DocumentSummary {
  bool present = false;  // the document carries a processing summary
  long originalInputs = 0;
  long recommended = 0;
  long targets = 0;
  // Inputs measured against the target: excluded for lack of association
  // (categorical and continuous) and binned along the target's categories.
  long unassociated = 0;
  long binned = 0;
  // Continuous inputs put on a common scale, and how ("z-score", "min-max").
  long rescaled = 0;
  std::string rescaling;
  std::vector<Exclusion> exclusions;
  std::vector<Treatment> treatments;  // one per line, in the lines' order
  std::vector<Derivation> sparseMerges;  // categories merged by frequency
  std::vector<Derivation> targetMerges;  // merged by association with the target
  std::vector<Derivation> constructed;
};

// False when the text is not an XML document; a document without summary
// leaves `present` false.
bool ReadDocumentSummary(std::string_view document, DocumentSummary* summary);

struct DataShape {
  std::size_t records = 0;
  std::size_t fieldsRead = 0;
  std::size_t fieldsHanded = 0;
};

void PrintSummary(std::ostream& out, const DataShape& shape, const DocumentSummary& summary);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_SUMMARYREPORT_H_
