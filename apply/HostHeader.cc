#include "HostHeader.h"

namespace zelapply {

std::vector<TimestampPart> ReadTimestampParts(XmlElement header) {
  std::vector<TimestampPart> parts;
  if (header == nullptr) return parts;
  for (XmlElement extension : ChildElements(header)) {
    std::string name;
    std::string column;
    if (NameOf(extension) != "Extension" || !GetAttribute(extension, "name", &name) ||
        name != kTimestampPartsExtension || !GetAttribute(extension, "value", &column)) {
      continue;
    }
    for (XmlElement part : ChildElements(extension)) {
      const std::string_view kind = NameOf(part);
      TimestampPart found;
      found.column = column;
      found.timeOfDay = kind == kTimePartElement;
      if ((found.timeOfDay || kind == kDatePartElement) &&
          GetAttribute(part, "field", &found.field)) {
        parts.push_back(std::move(found));
      }
    }
  }
  return parts;
}

}  // namespace zelapply
