// Document: reads a preparation document (PMML 4.0, as Zelcraft writes it)
// and compiles it for replay: the data dictionary gives the inputs with
// their user-missing values, the transformation dictionary the derived
// fields, and the vendor extension the inverse of a transformed target.
#ifndef ZELCRAFT_APPLY_DOCUMENT_H_
#define ZELCRAFT_APPLY_DOCUMENT_H_

#include <memory>
#include <string>
#include <string_view>

#include "Program.h"
#include "StopCheck.h"
#include "status/Status.h"
#include "HostHeader.h"

namespace zelapply {

struct CompiledDocument {
  // Inputs: the data fields; derived: the transformation dictionary.
  std::unique_ptr<Program> program;
  // The target inverse, or null when the document has none. Its inputs are
  // every field of `program`, by the same names and types; its one derived
  // field is the inverse.
  std::unique_ptr<Program> inverse;
  // Fields a host made from a column of timestamps, read from that column.
  std::vector<TimestampPart> parts;
};

// A document that is not well-formed, not PMML 4.0, declares entities, or
// uses an element or function the engine does not know gives an error
// naming the element and its line. `stop` is asked now and then while the
// document is parsed and compiled; when it says yes, the status is
// Interrupted.
zelstatus::Status CompileDocument(std::string_view text, CompiledDocument* document,
                                  const StopCheck& stop = StopCheck());
// The same for the document in the file at `path`, read in pieces; errors
// start with the path ("doc.pmml: line 3: ...", "cannot open doc.pmml: ...").
zelstatus::Status CompileDocumentFile(const std::string& path, CompiledDocument* document,
                                      const StopCheck& stop = StopCheck());

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_DOCUMENT_H_
