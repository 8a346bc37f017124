// ZelStatusMessages: a one-line explanation, in a user's words, of every
// status code the component returns or warns with, kept beside the codes so
// that a new code and its explanation are added together.
#ifndef ZELCRAFT_FRAME_ZELSTATUSMESSAGES_H_
#define ZELCRAFT_FRAME_ZELSTATUSMESSAGES_H_

namespace ZelFrame {

// The explanation of `code`; null for a code the component does not define.
const char* ZelStatusMessage(int code);

// For a warning that only says a step does not apply to this data (a merge
// by frequency when a target is present, say): the step and why in a few
// words ("unsupervised merging (a target is present)"); null for every
// other code, real warnings among them.
const char* ZelInapplicableStep(int code);

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELSTATUSMESSAGES_H_
