// MarkupScan: looks at a document's text a piece at a time, before the XML
// parser does, for what the parser cannot be asked cheaply. The parser reads
// a start tag whole and checks each attribute against every one before it,
// so one tag of a million attributes would hold it for minutes where no stop
// request reaches it; and it looks for the end of a piece of markup (a tag,
// a comment, a declaration) anew from its start with every piece of text it
// is given. So a start tag with more attributes than DocumentLimits allows,
// and markup longer than it allows, is refused here as soon as its text
// passes the limit; and the scan tells how much of the text is whole (all
// but markup still open), for the parser to be given only that. It also
// keeps the line of the text's last non-blank byte and whether there was
// one, for the words on a document that ends early.
#ifndef ZELCRAFT_APPLY_MARKUPSCAN_H_
#define ZELCRAFT_APPLY_MARKUPSCAN_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "StopCheck.h"
#include "status/Status.h"

namespace zelapply {

class MarkupScan {
 public:
  // "line N: Name: ..." for the start tag that passes a limit, "line N:
  // ..." for other markup; the scan stops there.
  zelstatus::Status Scan(std::string_view piece);
  // The bytes scanned so far, less the markup still open at their end.
  uint64_t whole() const { return state_ == State::kText ? scanned_ : markupStart_; }

  bool blank() const { return lastLine_ == 0; }
  // The line of the last byte that is not blank; 0 when there is none.
  long lastLine() const { return lastLine_; }

 private:
  enum class State {
    kText,
    kOpen,       // after '<'
    kBang,       // after "<!"
    kStartTag,   // the name and attributes of a start tag
    kQuoted,     // an attribute value in a start tag
    kDeclared,   // "<!DOCTYPE ...>", with its internal subset
    kDeclQuoted, // a quoted literal inside it
    kComment,    // "<!-- ... -->"
    kCData,      // "<![CDATA[ ... ]]>"
    kOther,      // an end tag or "<? ... ?>", up to '>'
  };
  zelstatus::Status Refuse(const std::string& what) const;
  // The markup open since markupStart_ grew by a byte; an error past its limit.
  zelstatus::Status Grow();
  // Lines and the last non-blank line of a run of text.
  void CountLines(const char* begin, const char* end);

  State state_ = State::kText;
  uint64_t scanned_ = 0;
  uint64_t markupStart_ = 0;  // where the markup open began, at its '<'
  std::size_t markupBytes_ = 0;
  long markupLine_ = 0;
  long line_ = 1;
  long lastLine_ = 0;
  char quote_ = 0;
  char previous_[2] = {0, 0};  // the two bytes before, for the ends of comments and CDATA
  int subsetDepth_ = 0;
  // The start tag being read.
  std::string tagName_;
  bool inName_ = false;
  long attributes_ = 0;
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_MARKUPSCAN_H_
