#include "frame/ZelFactory.h"

#include <memory>
#include <new>

#include "frame/ZelAlgorithm.h"
#include "frame/ZelStatusCodes.h"
#include "frame/ZelStatusMessages.h"
#include "frame/ZelTargetExplanation.h"
#include "settings/ZelSettingReview.h"
#include "settings/ZelSettingsReader.h"

namespace ZelFrame {

using TorCommon_1_3::ITorAlgorithm;
using TorCommon_1_3::TorStatus;

ZelFactory::ZelFactory() = default;
ZelFactory::ZelFactory(const ZelFactory& other) : status_(other.status_) {
  warnings_.warnings = other.warnings_.warnings;
}
ZelFactory& ZelFactory::operator=(const ZelFactory& other) {
  status_ = other.status_;
  warnings_.warnings = other.warnings_.warnings;
  return *this;
}
ZelFactory::~ZelFactory() = default;

ITorAlgorithm* ZelFactory::CreateTorAlgorithm(TorCommon_1_3::TorSettings& settings,
                                              TorCommon_1_3::TorVarList& variables) {
  status_ = TorStatus();
  // Nothing may escape to the host: an allocation failure anywhere below
  // becomes the creation error.
  try {
    ZelSettings validated;
    ZelSettingsReader reader(&settings, &variables, &validated, &warnings_.warnings);
    status_ = reader.Read();
    if (status_.IsError()) return nullptr;

    auto algorithm = std::make_unique<ZelAlgorithm>(validated, variables, &warnings_.warnings);
    const TorStatus created = algorithm->GetStatus();
    if (!created.IsOK()) status_ = created;
    if (status_.IsError()) return nullptr;
    return algorithm.release();
  } catch (...) {
    status_ = TorStatus(ZelStatusCode::kCannotCreate, false);
    return nullptr;
  }
}

TorStatus ZelFactory::GetStatus() const { return status_; }

const std::vector<TorStatus> ZelFactory::GetWarnings() const { return warnings_.warnings; }

const std::vector<ZelSettingKey>& ZelFactory::GetSettingKeys() { return ZelSettingKeyCatalogue(); }

const std::vector<std::string>& ZelFactory::GetKeysWithoutEffect() { return KeysWithoutEffect(); }

bool ZelFactory::ReviewSettings(const TorCommon_1_3::TorSettings& settings,
                                std::vector<std::string>* warnings, std::string* error) {
  return ::ReviewSettings(settings, warnings, error);
}

const char* ZelFactory::DescribeStatusCode(int code) { return ZelStatusMessage(code); }

const char* ZelFactory::DescribeInapplicableStep(int code) { return ZelInapplicableStep(code); }

std::string ZelFactory::ExplainExcludedTarget(const ITorAlgorithm& algorithm) {
  const auto* ours = dynamic_cast<const ZelAlgorithm*>(&algorithm);
  if (ours == nullptr) return std::string();
  return ZelFrame::ExplainExcludedTarget(ours->GetDriver().GetFields());
}

}  // namespace ZelFrame
