// PreparationRun: one preparation, the same for every host (the command
// line, the Python package, a partitioned build driven pass by pass): the
// settings read and reviewed, the schema, the roles, the data (a CSV file
// held or streamed by the loader, or the columns a host filled, with their
// names, texts and weights checked), the memory its statistics will take
// checked against the limit, one replica of the build per thread run over
// fixed blocks of rows, and the document written with the command's header,
// so that the same data gives the same document whatever the host (its
// timestamp and run time aside). A host only presents the result: its
// messages come as texts and values the host words (a location is a line of
// a file or a row of a frame), never as text to patch.
//
// Before the build, the run hands the component what the hosts' users mean
// rather than what its defaults would make of it: "targetSD" 1
// (HostSettings), a whole-number target that Box-Cox transforms as real
// numbers (TargetTyping), every timestamp column as its date and its time of
// day (TimestampSplit), and the data's latest date and time of day as the
// reference of durations (DurationReference); each is said once among the
// result's facts, and what a replay must know of it in the document's
// header (apply/HostHeader.h).
//
// Calls come in order: ReadInputs, then LoadCsv or TakeColumns, then Build
// (or, for a host that drives replicas itself, CheckMemory, MakeReplica and
// Conclude). A call after a failed one does nothing and returns false.
#ifndef ZELCRAFT_PREPARATION_PREPARATIONRUN_H_
#define ZELCRAFT_PREPARATION_PREPARATIONRUN_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/ZelFactory.h"
#include "frame/host/HostInterfaces.h"
#include "io/ColumnStore.h"
#include "io/CsvRecordSource.h"
#include "io/DataLoader.h"
#include "io/FieldPlan.h"
#include "io/HostFields.h"
#include "io/ReadProgress.h"
#include "io/Schema.h"
#include "io/TimestampSplit.h"
#include "pmml/PMMLHeaderInfo.h"
#include "preparation/DurationReference.h"
#include "status/Status.h"
#include "torcommon13r/TorSettings.h"

namespace zelprep {

struct RunRequest {
  // Settings: a JSON file, or its text named `settingsName` in messages;
  // then the "KEY=VALUE" assignments, which win over them.
  std::string settingsPath;
  std::string settingsText;
  std::string settingsName;
  std::vector<std::string> assignments;
  std::string analysisWeight;  // wins over the "analysisWeight" setting when given
  // Schema: a JSON file, or its text.
  std::string schemaPath;
  std::string schemaText;
  std::string target;
  std::optional<zelio::Level> targetLevel;
  std::string frequencyWeight;
  int threads = 0;  // the passes' threads; 0: one per core
  // The memory the held columns and the statistics may take together
  // (0: DefaultMemoryLimit()): a file whose columns do not fit beside the
  // statistics is streamed, a build whose statistics alone do not fit (or,
  // for a host's columns, do not fit beside them) is refused before its
  // first pass. `memoryLimitName` is how the host's users set
  // it ("--memory-limit"), for the message that refuses a build.
  uint64_t memoryLimit = 0;
  std::string memoryLimitName;
  // The latest moments of the whole data, for a run that holds only a part
  // of it; otherwise the run finds them in its own data.
  std::optional<DataMoments> moments;
  // The records of the whole data its weights leave out, for a run that
  // holds a part of it; otherwise the run counts its own.
  std::optional<int64_t> droppedRecords;
  // The clock that settings asking for today's date or the current time as
  // the reference of durations are read from (seconds since 1970, UTC), the
  // same for every replica of a build that runs elsewhere; none: the clock
  // when the settings are read.
  std::optional<int64_t> clock;
};

struct CsvSource {
  // One file, or several read as one data set: the same header in each,
  // the records in the order of the files (CsvFileSequence).
  std::vector<std::string> paths;
  char delimiter = ',';
  bool stream = false;  // read the files again for every pass
  // The file's text already read (a byte range of it behind its header),
  // which must outlive the load, and the storages fixed for every range
  // (LoadRequest::storages); a text is held in memory, never streamed.
  const std::string* text = nullptr;
  const std::vector<int>* storages = nullptr;
  int64_t maxRows = 0;  // LoadRequest::maxRows
};

// What a host hands a build. Every call into it is made on the calling
// thread: the threads of the passes see a stop through a relay.
struct RunHost {
  TorCommon_1_3::IInterruptCheck& interrupts;
  zelio::ReadProgress& progress;
  TorCommon_1_3::IProgressListener* listener = nullptr;  // the component's stages
  // Told the algorithm on the calling thread while the passes run, and null
  // after, for a host that stops it from elsewhere.
  std::function<void(TorCommon_1_3::ITorAlgorithm*)> running;
};

struct RunResult {
  // A failure of the data, schema, settings or memory (an input kind: the
  // command's exit status 2), a stop (kInterrupted), or the component's
  // refusal or failure (kComponent, worded by ComponentFailure: status 1).
  zelstatus::Status status;
  TorCommon_1_3::TorStatus component;              // kComponent: the component's own status
  bool refused = false;                            // the component refused the fields or settings
  std::string refusedDetail;                       // why a pass's state was refused, when one was
  std::string targetNote;                          // why the target was excluded, when it was
  std::vector<std::string> notes;                  // the data source's and the settings' notes
  std::vector<std::string> facts;                  // what the run made of the data, said once
  std::vector<TorCommon_1_3::TorStatus> warnings;  // the component's, in its order
  std::string document;
  int64_t records = 0;
  std::size_t fieldsRead = 0;
  std::size_t fieldsHanded = 0;

  bool ok() const { return status.ok(); }
  // The lines a host shows for the notes and warnings (RunMessages.h).
  std::vector<std::string> WarningLines() const;
};

class PreparationRun {
 public:
  explicit PreparationRun(RunRequest request);
  ~PreparationRun();
  PreparationRun(const PreparationRun&) = delete;
  PreparationRun& operator=(const PreparationRun&) = delete;

  // The settings (reviewed), the schema and the roles.
  bool ReadInputs();
  // A CSV file (or several as one) read by the loader, held in memory or
  // streamed.
  bool LoadCsv(const CsvSource& csv, TorCommon_1_3::IInterruptCheck& interrupts,
               zelio::ReadProgress& progress);
  // Columns a host filled: their names, texts and weights are checked here
  // (a location is a row, counted from 1), and texts of dates and times
  // read as such (TextDates).
  bool TakeColumns(zelio::ColumnStore store);
  // Every pass on the request's threads, then the document.
  bool Build(const RunHost& host);

  // For a host that drives replicas itself: whether `workers` replicas fit
  // the memory limit (the columns of a file held in memory give way to
  // their statistics: the file is then streamed); a replica made as Build
  // makes them (null when the
  // component refused, which the result then says); the result of a build
  // that ended with `status`.
  bool CheckMemory(std::size_t workers);
  TorCommon_1_3::ITorAlgorithm* MakeReplica(ZelFrame::ZelFactory& factory);
  void Conclude(TorCommon_1_3::ITorAlgorithm& algorithm, const TorCommon_1_3::TorStatus& status,
                bool interrupted);
  // For a run over a part of the data that joins a build over all of it
  // after its own planning: the references of durations become the whole
  // data's latest moments, before MakeReplica. Its facts and header still
  // tell its own: such a replica reads rows, the document is written by
  // another.
  void RepinReferences(const DataMoments& moments);

  const RunResult& result() const { return result_; }
  const TorCommon_1_3::TorSettings& settings() const { return settings_; }
  const zelio::LoadedData& data() const { return data_; }
  const zelio::HostFields& fields() const { return fields_; }
  // The references of durations the settings leave to the run, and the
  // latest moments of the run's own data (found only when needed).
  const ReferenceNeeds& referenceNeeds() const { return needs_; }
  const DataMoments& moments() const { return moments_; }
  // Whether a frequency or analysis weight is in play, whose missing, zero
  // or negative values leave records out.
  bool Weighted() const {
    return !roles_.frequencyWeight.empty() || !roles_.analysisWeight.empty();
  }
  // The streamed file's source description, for hosts that read it again.
  zelio::CsvSourceFile SourceFile() const;

 private:
  bool Fail(zelstatus::Status status);  // false
  // The data loaded or taken: what the run hands over is decided here.
  bool Planned(TorCommon_1_3::IInterruptCheck& interrupts);

  RunRequest request_;
  RunResult result_;
  TorCommon_1_3::TorSettings settings_;
  zelio::Schema schema_;
  zelio::FieldRoles roles_;
  CsvSource csv_;
  zelio::LoadedData data_;
  zelio::HostFields fields_;
  std::deque<zelio::FieldSpec> partSpecs_;  // the schema entries of timestamps' parts
  std::vector<PMMLHeaderExtension> header_;
  ReferenceNeeds needs_;
  DataMoments moments_;
  bool failed_ = false;
};

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_PREPARATIONRUN_H_
