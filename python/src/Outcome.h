// Outcome: what a preparation from Python returns to the package, as the
// dict its Python side publishes: "warnings" [(code, message)], with code 0
// for the data source's notes; "lines", the warnings as every host shows
// them; then either "error" ("input" or "component"), "code", "message" and
// "note", or "document", "records", "fields_read" and "fields_handed". An
// interrupted run raises what the interpreter's signal handler raised, or
// KeyboardInterrupt.
#ifndef ZELCRAFT_PYTHON_OUTCOME_H_
#define ZELCRAFT_PYTHON_OUTCOME_H_

#include <pybind11/pybind11.h>

#include <string>

#include "PythonHost.h"
#include "preparation/PreparationRun.h"

namespace zelpy {

[[noreturn]] void RaiseKeyboardInterrupt();

// The outcome of a run; call with the interpreter lock held.
pybind11::dict OutcomeDict(const zelprep::RunResult& result, PythonHost& host);

// The outcome of an error found on the way (a replica's step, a merge).
pybind11::dict ErrorOutcome(bool input, int code, const std::string& message,
                            const std::string& note);

// The latest moments of data, (day or None, time of day or None).
pybind11::object MomentsTuple(const zelprep::DataMoments& moments);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_OUTCOME_H_
