#include "pmml/ZelModelPMML.h"

#include <cstdio>
#include <ctime>

#include "pmml/ZelDataFieldPMML.h"
#include "pmml/ZelDerivedFieldPMML.h"
#include "pmml/ZelFieldPMML.h"
#include "pmml/ZelFunctionCatalogue.h"
#include "pmml/ZelPMMLConstants.h"
#include "pmml/ZelTargetInversePMML.h"
#include "pmml/ZelUnivariateStatsPMML.h"

namespace ZelPMML {

using TorCommon_1_3::TorStatus;
using TorXML_1_3::XMLElement;

namespace {

// The local time in the runtime library's ctime form ("Wed Jun 30 21:49:08
// 1993") without its newline, spelled out here because ctime itself is
// neither reentrant nor free of that newline.
std::string TimestampText(std::time_t now) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[local.tm_wday % 7],
                kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, 1900 + local.tm_year);
  return text;
}

const std::string& OrDefault(const std::string& given, const std::string& fallback) {
  return given.empty() ? fallback : given;
}

}  // namespace

ZelModelPMML::ZelModelPMML(const ZelVariableHandleList& fields,
                           const ZelSummary::SummaryTable& summary,
                           std::vector<std::string> parameterNames)
    : fields_(fields),
      summary_(summary),
      parameterNames_(std::move(parameterNames)),
      summaryWriter_(fields, parameterNames_) {}

ZelModelPMML::~ZelModelPMML() = default;

void ZelModelPMML::Write(TorStatus& status, std::ostream& out, const PMMLHeaderInfo* header) {
  root_.reset(XMLElement::Create("PMML"));
  root_->AddAttribute("version", kPmmlVersion);
  root_->AddAttribute("xmlns", kPmmlNamespace);
  root_->AddAttribute("xmlns:xsi", kSchemaInstanceNamespace);
  root_->AddAttribute("xsi:schemaLocation", std::string(kPmmlNamespace) + " " + kSchemaFile);
  root_->AppendChild(CreateHeader(header).release());

  status_ = AppendDataDictionary();
  if (!status_.IsError()) status_ = AppendTransformationDictionary();
  if (!status_.IsError()) status_ = AppendVendorExtension();
  if (!status_.IsError()) {
    status_ = TorXML_1_3::WriteTree(out, nullptr, root_.get(), true);
    if (!status_.IsError()) out.flush();
  }
  status = status_;
}

std::unique_ptr<XMLElement> ZelModelPMML::CreateHeader(const PMMLHeaderInfo* header) const {
  static const std::string kNone;
  static const std::string kCopyright = kDefaultCopyright;
  static const std::string kName = kDefaultApplicationName;
  static const std::string kVersion = kDefaultApplicationVersion;
  std::unique_ptr<XMLElement> element(XMLElement::Create("Header"));
  element->AddAttribute("copyright",
                        OrDefault(header != nullptr ? header->noticeText : kNone, kCopyright));
  for (const PMMLHeaderExtension& given :
       header != nullptr ? header->extensions : std::vector<PMMLHeaderExtension>()) {
    XMLElement* extension = element->AppendChild(CreateExtension().release());
    extension->AddAttribute("name", given.name);
    extension->AddAttribute("value", given.value);
    for (const PMMLHeaderElement& child : given.children) {
      XMLElement* part = extension->AppendChild(XMLElement::Create(child.element));
      for (const auto& attribute : child.attributes) {
        part->AddAttribute(attribute.first, attribute.second);
      }
    }
  }
  XMLElement* application = element->AppendChild(XMLElement::Create("Application"));
  application->AddAttribute("name",
                            OrDefault(header != nullptr ? header->applicationName : kNone, kName));
  application->AddAttribute(
      "version", OrDefault(header != nullptr ? header->applicationVersion : kNone, kVersion));
  element->AppendChild(XMLElement::Create("Timestamp"))
      ->AppendText(TimestampText(std::time(nullptr)));
  return element;
}

TorStatus ZelModelPMML::AppendDataDictionary() {
  std::unique_ptr<XMLElement> dictionary(XMLElement::Create("DataDictionary"));
  int written = 0;
  for (int i = 0; i < fields_.Count(); ++i) {
    if (fields_.GetHandle(i)->IsDerived()) continue;
    TorStatus status;
    std::unique_ptr<XMLElement> field = CreateDataField(fields_, summaryWriter_, i, &status);
    if (status.IsError()) return status;
    dictionary->AppendChild(field.release());
    ++written;
  }
  dictionary->AddAttribute("numberOfFields", written);
  root_->AppendChild(dictionary.release());
  return TorStatus();
}

TorStatus ZelModelPMML::AppendTransformationDictionary() {
  std::vector<int> functionIds;
  TorStatus status = CollectFunctionIds(fields_, &functionIds);
  if (status.IsError()) return status;
  std::unique_ptr<XMLElement> dictionary(XMLElement::Create("TransformationDictionary"));
  AppendFunctionDefinitions(dictionary.get(), functionIds);
  for (int i = 0; i < fields_.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_.GetHandle(i);
    if (!field->IsDerived() || IsDroppedCopy(*field)) continue;
    std::unique_ptr<XMLElement> derived = CreateDerivedField(fields_, summaryWriter_, i, &status);
    if (status.IsError()) return status;
    dictionary->AppendChild(derived.release());
  }
  root_->AppendChild(dictionary.release());
  return TorStatus();
}

TorStatus ZelModelPMML::AppendVendorExtension() {
  std::unique_ptr<XMLElement> extension = CreateExtension();
  XMLElement* vendor = extension->AppendChild(XMLElement::Create(kVendorElement));
  summaryWriter_.AppendSummary(vendor, summary_);
  // A failure ends the statistics at the failing field, not the document.
  AppendUnivariateStats(vendor, fields_);
  const TorStatus status = AppendTargetInverse(vendor, fields_);
  if (status.IsError()) return status;
  root_->AppendChild(extension.release());
  return TorStatus();
}

}  // namespace ZelPMML
