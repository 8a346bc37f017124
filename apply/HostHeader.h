// HostHeader: what a host did to the data before the component saw it, as
// the document's header records it. A column of timestamps is handed over
// as two fields, its date and its time of day, since the component derives
// calendar parts and durations from dates and times but sets timestamps
// aside; the header names the column, so that a replay reads the column
// itself into both fields:
//
//   <Extension extender="zelcraft.dev" name="timestampParts" value="COLUMN">
//     <DatePart field="COLUMN_date"/>
//     <TimePart field="COLUMN_time"/>
//   </Extension>
//
// A reference of durations the host took from the data (its latest date
// or time of day) is recorded as <Extension extender="zelcraft.dev"
// name="referenceDateFromData" value="YYYY-MM-DD"/> (or
// "referenceTimeFromData", "HH:MM:SS"). The hosts write these elements and
// every reader of a document reads them here.
#ifndef ZELCRAFT_APPLY_HOSTHEADER_H_
#define ZELCRAFT_APPLY_HOSTHEADER_H_

#include <string>
#include <vector>

#include "XmlTree.h"

namespace zelapply {

constexpr char kTimestampPartsExtension[] = "timestampParts";
constexpr char kDatePartElement[] = "DatePart";
constexpr char kTimePartElement[] = "TimePart";
constexpr char kReferenceDateFromData[] = "referenceDateFromData";
constexpr char kReferenceTimeFromData[] = "referenceTimeFromData";

struct TimestampPart {
  std::string field;   // the field of the document
  std::string column;  // the column of timestamps it is read from
  bool timeOfDay = false;  // the time of day, else the date
};

// The parts a document's Header element records, in its order.
std::vector<TimestampPart> ReadTimestampParts(XmlElement header);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_HOSTHEADER_H_
