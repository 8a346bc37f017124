// Build: one preparation, as `zelcraft prepare` makes it, from a host's
// columns or from a CSV file: the settings read and reviewed, the schema,
// the roles, the weights tallied, the component run on a record source, and
// the document written with the command's header, so that the same data
// gives the same document (its timestamp and run time aside). Nothing here
// touches the interpreter but through the host's callbacks; the caller
// releases the lock around it.
//
// The record source is the seam where other drivers slot in: the columns of
// a frame and a file (held or streamed) each make their own, and whatever
// else can replay its records pass by pass can too.
#ifndef ZELCRAFT_PYTHON_BUILD_H_
#define ZELCRAFT_PYTHON_BUILD_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ColumnData.h"
#include "PythonHost.h"
#include "frame/ZelFactory.h"
#include "io/ColumnStore.h"
#include "io/FieldPlan.h"
#include "io/Schema.h"

namespace zelpy {

struct BuildRequest {
  std::string settingsText;  // a JSON object of settings keys; empty for none
  std::string settingsName;  // names it in messages
  std::vector<std::string> assignments;  // "KEY=VALUE", as --set: they win over the text
  std::string schemaText;    // a JSON schema as --schema takes it; empty for none
  std::string target;
  std::string frequencyWeight;
  int threads = 0;           // the passes' threads; 0: one per core
  // The clock the reference date and time of durations are taken from
  // (seconds since 1970, UTC), the same for every replica of a build; none:
  // the clock when the settings are read.
  std::optional<int64_t> clock;
};

struct CsvRequest {
  std::string path;
  char delimiter = ',';
  bool stream = false;
  uint64_t memoryLimit = 0;  // 0: half the physical memory
  bool threaded = true;
};

struct BuildOutcome {
  // kInputError: the data, schema or settings (the command's exit status
  // 2); kComponentError: the component refused or failed (status 1).
  enum class Kind { kDone, kInputError, kComponentError, kInterrupted };
  Kind kind = Kind::kDone;
  int code = 0;  // the component's status code, for its errors
  std::string message;
  std::string note;  // why a target was excluded, when it was
  std::string document;
  // Warnings in the order the command prints them: code 0 for the host's.
  std::vector<std::pair<int, std::string>> warnings;
  int64_t records = 0;
  std::size_t fieldsRead = 0;
  std::size_t fieldsHanded = 0;
};

// What the command reads before the data: settings (reviewed), schema, roles;
// and the notes the host adds to the component's warnings.
struct Inputs {
  TorCommon_1_3::TorSettings settings;
  zelio::Schema schema;
  zelio::FieldRoles roles;
  std::vector<std::string> notes;
};

// The steps of a build that replicas (Lockstep.cc) share with it: the
// inputs and plans of a store with its weights tallied; the note on
// dropped records; the outcome of a factory that refused; the outcome of a
// finished build with its document.
bool SetUpFromStore(const BuildRequest& request, const zelio::ColumnStore& store, Inputs* inputs,
                    std::vector<zelio::FieldPlan>* plans, int64_t* dropped, std::string* error);
void NoteDropped(Inputs* inputs, int64_t dropped);
BuildOutcome Refused(const Inputs& inputs, const ZelFactory& factory);
BuildOutcome Conclude(const Inputs& inputs, TorCommon_1_3::ITorAlgorithm& algorithm,
                      const TorCommon_1_3::TorStatus& status, PythonHost& host);

// Fills a column store with the frame's columns (by `names`, in order);
// false when interrupted. The frame's arrays are no longer read after it.
bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               PythonHost& host, zelio::ColumnStore* store);

BuildOutcome BuildFromStore(const BuildRequest& request, const zelio::ColumnStore& store,
                            PythonHost& host);

BuildOutcome BuildFromCsv(const BuildRequest& request, const CsvRequest& csv, PythonHost& host);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_BUILD_H_
