// Seeds of fuzz_report_document: the report reads the same documents the
// replay does, so it starts from the apply target's seeds (every kind of
// expression the component writes, and a hand-written document).
#include "apply_document.cc"
