// EscapedErrors: while it lives, what the command writes to standard error
// gets there with every character that could disguise a message written as
// its code (\u202E): the controls of bidirectional text (a right-to-left
// override in a field name would turn the rest of the line around), the C0
// and C1 controls but tab, line feed and carriage return (the progress line
// returns to its start), and DEL. Names reach messages from every part of
// the command (the data, the document, the component, the summary) and
// all leave through here; standard output and files are not touched. One
// instance, made first in main.
#ifndef ZELCRAFT_CLI_ESCAPEDERRORS_H_
#define ZELCRAFT_CLI_ESCAPEDERRORS_H_

#include <memory>
#include <streambuf>

namespace zelcli {

class EscapedErrors {
 public:
  EscapedErrors();
  // Writes what is held back and gives std::cerr its own buffer again.
  ~EscapedErrors();
  EscapedErrors(const EscapedErrors&) = delete;
  EscapedErrors& operator=(const EscapedErrors&) = delete;

  class Buffer;

 private:
  std::unique_ptr<Buffer> buffer_;
  std::streambuf* previous_;
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_ESCAPEDERRORS_H_
