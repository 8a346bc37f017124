#include "io/CsvFileSequence.h"

#include <sys/stat.h>

#include <utility>

#include "io/HeaderCheck.h"

namespace zelio {

namespace {

// The bytes of a text handed out where they are: a text of a gigabyte costs
// no copy (which an istringstream makes twice). Nothing writes to them.
class TextBuffer : public std::streambuf {
 public:
  explicit TextBuffer(std::string_view text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

}  // namespace

std::string SequenceName(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return paths.front();
  return paths.front() + " ... " + paths.back() + " (" + std::to_string(paths.size()) + " files)";
}

zelstatus::Status NoHeaderRow(const std::vector<std::string>& paths) {
  return zelstatus::Status::InvalidInput(SequenceName(paths) + ": " +
                                         (paths.size() == 1 ? "the file is empty: no header row"
                                                            : "every file is empty: no header row"));
}

CsvFileSequence::CsvFileSequence(std::vector<std::string> paths, char delimiter,
                                 std::size_t chunkBytes, std::vector<InputFingerprint> first)
    : paths_(std::move(paths)), delimiter_(delimiter), chunkBytes_(chunkBytes),
      first_(std::move(first)) {}

CsvFileSequence::CsvFileSequence(std::string_view text, std::string name, char delimiter,
                                 std::size_t chunkBytes)
    : paths_{std::move(name)}, delimiter_(delimiter), chunkBytes_(chunkBytes), text_(text),
      fromText_(true) {}

CsvFileSequence::~CsvFileSequence() = default;

zelstatus::Status CsvFileSequence::Open(TorCommon_1_3::IInterruptCheck* interrupts) {
  file_ = 0;
  const zelstatus::Status opened = OpenFile(interrupts);
  if (!opened.ok()) return opened;
  if (paths_.size() > 1 && Unrepeatable()) {
    return zelstatus::Status::InvalidInput(
        paths_[0] + ": a data set of several files is read from regular files only");
  }
  return zelstatus::Status();
}

zelstatus::Status CsvFileSequence::OpenFile(TorCommon_1_3::IInterruptCheck* interrupts) {
  reader_.reset();
  in_.reset();
  headerTaken_ = false;
  std::istream* stream = nullptr;
  if (fromText_) {
    textBuffer_ = std::make_unique<TextBuffer>(text_);
    textIn_ = std::make_unique<std::istream>(textBuffer_.get());
    stream = textIn_.get();
  } else {
    in_ = std::make_unique<InputFile>();
    const zelstatus::Status opened = in_->Open(paths_[file_], interrupts);
    if (!opened.ok()) return opened;
    if (file_ > 0 && !in_->regular()) {
      return zelstatus::Status::InvalidInput(
          paths_[file_] + ": a data set of several files is read from regular files only");
    }
    if (file_ < first_.size()) {
      const std::string changed = in_->CheckReopened(first_[file_]);
      if (!changed.empty()) return zelstatus::Status::InvalidInput(paths_[file_] + ": " + changed);
    }
    stream = &in_->stream();
  }
  reader_ = std::make_unique<CsvChunkReader>(*stream, delimiter_, chunkBytes_);
  return zelstatus::Status();
}

bool CsvFileSequence::Unrepeatable() const {
  return in_ != nullptr && file_ == 0 && !in_->regular();
}

int64_t CsvFileSequence::TotalBytes() const {
  if (fromText_) return static_cast<int64_t>(text_.size());
  int64_t total = 0;
  for (const std::string& path : paths_) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) total += info.st_size;
  }
  return total;
}

void CsvFileSequence::Fail(CsvChunk* chunk, const std::string& message) {
  chunk->failure.kind = ChunkFailure::Kind::kInput;
  chunk->failure.message = message;
  chunk->last = true;
  failed_ = true;
}

bool CsvFileSequence::TakeHeader(CsvChunk* chunk) {
  headerTaken_ = true;
  const uint32_t width = chunk->rowEnds[0];
  if (!haveHeader_) {
    for (uint32_t i = 0; i < width; ++i) header_.emplace_back(chunk->Cell(i).text);
    headerFile_ = file_;
    haveHeader_ = true;
    return true;
  }
  std::vector<std::string_view> names;
  for (uint32_t i = 0; i < width; ++i) names.push_back(chunk->Cell(i).text);
  const std::string difference = HeaderDifference(header_, paths_[headerFile_], names);
  if (!difference.empty()) {
    // None of the file's rows goes out: its header is not the data set's.
    chunk->cells.clear();
    chunk->rowEnds.clear();
    chunk->lines.clear();
    Fail(chunk, paths_[file_] + ": " + difference);
    return false;
  }
  chunk->cells.erase(chunk->cells.begin(), chunk->cells.begin() + width);
  chunk->rowEnds.erase(chunk->rowEnds.begin());
  for (uint32_t& end : chunk->rowEnds) end -= width;
  chunk->lines.erase(chunk->lines.begin());
  return true;
}

std::string CsvFileSequence::EndFile() {
  if (in_ == nullptr) return std::string();
  const InputFingerprint none;
  const std::string changed =
      in_->CheckWholeRead(file_ < first_.size() ? first_[file_] : none);
  if (!changed.empty()) return paths_[file_] + ": " + changed;
  seen_.push_back(in_->Fingerprint());
  return std::string();
}

void CsvFileSequence::Next(CsvChunk* chunk) {
  for (;;) {
    if (failed_ || !pending_.empty()) {
      chunk->Clear();
      chunk->file = file_;
      if (!pending_.empty()) Fail(chunk, pending_);
      chunk->last = true;
      return;
    }
    reader_->Next(chunk);
    chunk->file = file_;
    // A later file's header never reaches a reader, even before a row that
    // fails.
    if (!headerTaken_ && chunk->rows() > 0 && !TakeHeader(chunk)) return;
    if (chunk->failure.failed()) {
      failed_ = true;
      return;
    }
    if (!chunk->last) return;
    std::string error = EndFile();
    if (error.empty() && file_ + 1 >= paths_.size()) return;
    if (error.empty()) {
      ++file_;
      error = OpenFile(nullptr).message();
    }
    if (!error.empty()) {
      // The rows in hand go out first, as with any other end of the input.
      if (chunk->rows() == 0) return Fail(chunk, error);
      pending_ = error;
    }
    if (chunk->rows() > 0) {
      chunk->last = false;
      return;
    }
  }
}

}  // namespace zelio
