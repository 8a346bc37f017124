// Writing the output document without ever losing a file. A regular file (or
// a path where nothing exists yet) is written atomically: the text goes to a
// temporary file in the target's directory, which then replaces the target by
// a rename, so a failed or interrupted run leaves no partial document and an
// existing file untouched. A symlink is followed to its target, which is
// written the same way. A device or FIFO is written through directly, since
// a rename would replace it with a regular file.
#ifndef ZELCRAFT_CLI_ATOMICFILE_H_
#define ZELCRAFT_CLI_ATOMICFILE_H_

#include <functional>
#include <string>
#include <string_view>

namespace zelcli {

struct OutputTarget {
  std::string path;     // symlinks followed
  bool direct = false;  // a device or FIFO: written through, not replaced
  bool exists = false;
};

// Resolves `path` and checks, before any work is done, that the document can
// be written there: not a directory, and a writable directory (or, for a
// device or FIFO, a writable file). False with `error` naming the path.
bool PrepareOutput(const std::string& path, OutputTarget* target, std::string* error);

// True when the target exists and is the same file as `path` (same device
// and inode, so hard links and symlinks are seen through).
bool IsSameFile(const OutputTarget& target, const std::string& path);

enum class WriteResult { kWritten, kFailed, kInterrupted };

// Writes `text` to the target. `interrupted` is asked between chunks and
// before the rename; an interrupted or failed write of a regular file leaves
// no temporary file behind and the target as it was.
WriteResult WriteOutput(const OutputTarget& target, std::string_view text,
                        const std::function<bool()>& interrupted, std::string* error);

// Removes the temporary file being written, if any. Async-signal-safe: the
// handler of a signal that ends the process at once calls it.
void RemovePendingTemporary();

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_ATOMICFILE_H_
