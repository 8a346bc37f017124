#include "RowOutputs.h"

#include <utility>

namespace zelcli {

RowOutputs::RowOutputs(DataOutputs& outputs, char delimiter)
    : outputs_(outputs), writer_(*this, delimiter) {}

zelstatus::Status RowOutputs::Open(TorCommon_1_3::IInterruptCheck* interrupts,
                                   std::function<void()> header) {
  const zelstatus::Status opened = outputs_.Open(interrupts);
  if (!opened.ok()) return opened;
  sinks_ = outputs_.Sinks();
  current_ = 0;
  header_ = std::move(header);
  header_();
  return zelstatus::Status();
}

void RowOutputs::Next() {
  // The rows buffered so far are the current output's.
  writer_.Flush();
  ++current_;
  header_();
}

void RowOutputs::End() {
  while (current_ + 1 < sinks_.size()) Next();
  writer_.Flush();
}

bool RowOutputs::Write(std::string_view bytes) { return sinks_[current_]->Write(bytes); }

}  // namespace zelcli
