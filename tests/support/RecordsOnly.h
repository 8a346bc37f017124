// RecordsOnly: a record source that hands out its rows a record at a time
// and never as columns, so that a pass gathers the records into batches
// itself: the way the component meets a host without column batches, the
// reference the blocked and merged paths are held to.
#ifndef ZELCRAFT_TESTS_SUPPORT_RECORDSONLY_H_
#define ZELCRAFT_TESTS_SUPPORT_RECORDSONLY_H_

#include "frame/host/HostInterfaces.h"

class RecordsOnly : public TorCommon_1_3::IRecordSource {
 public:
  explicit RecordsOnly(TorCommon_1_3::IRecordSource& rows) : rows_(rows) {}
  bool HasMoreRecords() override { return rows_.HasMoreRecords(); }
  void Rewind() override { rows_.Rewind(); }
  const TorCommon_1_3::RawRecord* NextRecord() override { return rows_.NextRecord(); }

 private:
  TorCommon_1_3::IRecordSource& rows_;
};

#endif  // ZELCRAFT_TESTS_SUPPORT_RECORDSONLY_H_
