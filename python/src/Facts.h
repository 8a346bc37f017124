// Facts: what a document says (apply/DocumentFacts) as Python dictionaries
// and lists, for the package's fields table, statistics and summary.
#ifndef ZELCRAFT_PYTHON_FACTS_H_
#define ZELCRAFT_PYTHON_FACTS_H_

#include <pybind11/pybind11.h>

#include <string>

namespace zelpy {

// Raises ValueError when the text is not a PMML document.
pybind11::dict DocumentFactsOf(const std::string& document);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_FACTS_H_
