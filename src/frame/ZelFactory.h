// ZelFactory: the component's entry point. It validates the host's settings
// and creates the algorithm; it owns the warning list that the algorithm and
// everything below it share, so it must outlive the algorithms it created.
#ifndef ZELCRAFT_FRAME_ZELFACTORY_H_
#define ZELCRAFT_FRAME_ZELFACTORY_H_

#include <string>
#include <vector>

#include "frame/ZelExport.h"
#include "frame/ZelWarning.h"
#include "frame/host/HostInterfaces.h"
#include "settings/ZelSettingKeys.h"

namespace ZelFrame {

class ZEL_EXPORT ZelFactory : public TorCommon_1_3::ITorFactory {
 public:
  ZelFactory();
  ZelFactory(const ZelFactory& other);
  ZelFactory& operator=(const ZelFactory& other);
  ~ZelFactory() override;

  // Null on error (see GetStatus and GetWarnings); otherwise the host owns the
  // algorithm and deletes it before the factory.
  TorCommon_1_3::ITorAlgorithm* CreateTorAlgorithm(TorCommon_1_3::TorSettings& settings,
                                                   TorCommon_1_3::TorVarList& variables) override;
  TorCommon_1_3::TorStatus GetStatus() const override;
  const std::vector<TorCommon_1_3::TorStatus> GetWarnings() const;

  // The settings keys the component understands.
  static const std::vector<ZelSettingKey>& GetSettingKeys();
  // Keys of the hosts' vocabulary that the component accepts but never reads.
  static const std::vector<std::string>& GetKeysWithoutEffect();
  // Values the settings reader accepts although they mean nothing are
  // refused (false, with `error` naming the key); keys given without the
  // key they depend on add a line to `warnings`.
  static bool ReviewSettings(const TorCommon_1_3::TorSettings& settings,
                             std::vector<std::string>* warnings, std::string* error);

  // A one-line explanation of a status code; null for a code the component
  // does not produce.
  static const char* DescribeStatusCode(int code);
  // For a warning that only says a step does not apply to this data: the
  // step and why in a few words ("supervised binning (no categorical
  // target)"), for hosts that list such warnings together; null otherwise.
  static const char* DescribeInapplicableStep(int code);
  // After a build of `algorithm` (made by a ZelFactory) ended with error
  // 210012, which target was excluded and why, with the figures the
  // screening judged; empty when there is nothing to tell.
  static std::string ExplainExcludedTarget(const TorCommon_1_3::ITorAlgorithm& algorithm);

 private:
  TorCommon_1_3::TorStatus status_;
  ZelWarning warnings_;
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELFACTORY_H_
