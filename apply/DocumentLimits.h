// DocumentLimits: how deep, how wide and how long the markup of a document
// may be, decided here for every reader of documents (the replay engine,
// the document facts and so the report, the statistics file, the summary
// and the Python package). The tree is refused while it is parsed, so no
// reader checks again: its readers recurse over the nesting, and the parser
// reads each piece of markup whole. The limits lie far beyond any document of
// ours (about ten levels, a few dozen attributes) and near enough that a
// hostile document exhausts neither a reader's stack nor the parser's time.
#ifndef ZELCRAFT_APPLY_DOCUMENTLIMITS_H_
#define ZELCRAFT_APPLY_DOCUMENTLIMITS_H_

#include <cstddef>

namespace zelapply {

struct DocumentLimits {
  // Elements inside one another, the root being the first.
  static constexpr int kDepth = 256;
  // Attributes of one element, namespace declarations included.
  static constexpr long kAttributes = 1024;
  // One piece of markup from its '<' to its '>' (a start tag, a comment, a
  // declaration): a category of the data dictionary is an attribute value,
  // and a cell of the data may hold megabytes.
  static constexpr std::size_t kMarkupBytes = std::size_t{64} << 20;
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_DOCUMENTLIMITS_H_
