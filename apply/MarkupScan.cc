#include "MarkupScan.h"

#include <algorithm>
#include <cstring>

#include "DocumentLimits.h"

namespace zelapply {

using zelstatus::Status;

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Element names in messages are cut short: the name itself may be the fault.
constexpr std::size_t kShownName = 64;

}  // namespace

Status MarkupScan::Refuse(const std::string& what) const {
  const bool tag = state_ == State::kStartTag || state_ == State::kQuoted;
  return Status::LimitExceeded("line " + std::to_string(markupLine_) + ": " +
                               (tag ? tagName_ + ": " : std::string()) + what);
}

Status MarkupScan::Grow() {
  if (++markupBytes_ <= DocumentLimits::kMarkupBytes) return Status();
  const bool tag = state_ == State::kStartTag || state_ == State::kQuoted;
  return Refuse(std::string(tag ? "the start tag" : "the markup") + " is longer than " +
                std::to_string(DocumentLimits::kMarkupBytes >> 20) + " MiB");
}

void MarkupScan::CountLines(const char* begin, const char* end) {
  const char* last = end;
  while (last > begin && Blank(last[-1])) --last;
  const long before = static_cast<long>(std::count(begin, last, '\n'));
  if (last > begin) lastLine_ = line_ + before;
  line_ += before + static_cast<long>(std::count(last, end, '\n'));
}

Status MarkupScan::Scan(std::string_view piece) {
  const char* p = piece.data();
  const char* const end = p + piece.size();
  while (p < end) {
    if (state_ == State::kText) {
      // Text runs to the next '<'; most of a document is text.
      const char* open = static_cast<const char*>(std::memchr(p, '<', end - p));
      const char* stop = open != nullptr ? open : end;
      CountLines(p, stop);
      p = stop;
      if (open == nullptr) break;
      lastLine_ = markupLine_ = line_;
      markupStart_ = scanned_ + static_cast<uint64_t>(open - piece.data());
      markupBytes_ = 1;
      state_ = State::kOpen;
      ++p;
      continue;
    }
    if (state_ == State::kQuoted) {
      // An attribute value runs to its closing quote; a category may be long.
      const char* close = static_cast<const char*>(std::memchr(p, quote_, end - p));
      const char* stop = close != nullptr ? close : end;
      const std::size_t length = static_cast<std::size_t>(stop - p);
      if (length > DocumentLimits::kMarkupBytes - markupBytes_) {
        markupBytes_ = DocumentLimits::kMarkupBytes;
        return Grow();
      }
      markupBytes_ += length;
      CountLines(p, stop);
      p = stop;
      if (close == nullptr) break;
    }
    const char c = *p++;
    if (c == '\n') ++line_;
    if (!Blank(c)) lastLine_ = line_;
    const Status grown = Grow();
    if (!grown.ok()) return grown;
    switch (state_) {
      case State::kText:
        break;
      case State::kOpen:
        if (c == '!') {
          state_ = State::kBang;
        } else if (c == '/' || c == '?') {
          state_ = State::kOther;
        } else {
          state_ = State::kStartTag;
          tagName_.assign(1, c);
          inName_ = true;
          attributes_ = 0;
        }
        break;
      case State::kBang:
        state_ = c == '-' ? State::kComment : c == '[' ? State::kCData : State::kDeclared;
        subsetDepth_ = 0;
        previous_[0] = previous_[1] = 0;
        break;
      case State::kStartTag:
        if (inName_ && (Blank(c) || c == '/' || c == '>')) inName_ = false;
        if (inName_ && tagName_.size() < kShownName) tagName_ += c;
        if (c == '"' || c == '\'') {
          quote_ = c;
          state_ = State::kQuoted;
        } else if (c == '=' && ++attributes_ > DocumentLimits::kAttributes) {
          return Refuse("the element has more than " +
                        std::to_string(DocumentLimits::kAttributes) + " attributes");
        } else if (c == '>') {
          state_ = State::kText;
        }
        break;
      case State::kQuoted:
        if (c == quote_) state_ = State::kStartTag;
        break;
      case State::kDeclared:
        if (c == '"' || c == '\'') {
          quote_ = c;
          state_ = State::kDeclQuoted;
        } else if (c == '[') {
          ++subsetDepth_;
        } else if (c == ']') {
          subsetDepth_ = std::max(0, subsetDepth_ - 1);
        } else if (c == '>' && subsetDepth_ == 0) {
          state_ = State::kText;
        }
        break;
      case State::kDeclQuoted:
        if (c == quote_) state_ = State::kDeclared;
        break;
      case State::kComment:
      case State::kCData: {
        const char closer = state_ == State::kComment ? '-' : ']';
        if (c == '>' && previous_[0] == closer && previous_[1] == closer) state_ = State::kText;
        previous_[0] = previous_[1];
        previous_[1] = c;
        break;
      }
      case State::kOther:
        if (c == '>') state_ = State::kText;
        break;
    }
  }
  scanned_ += piece.size();
  return Status();
}

}  // namespace zelapply
