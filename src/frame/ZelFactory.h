// ZelFactory: the component's entry point. It validates the host's settings
// and creates the algorithm; it owns the warning list that the algorithm and
// everything below it share, so it must outlive the algorithms it created.
#ifndef ZELCRAFT_FRAME_ZELFACTORY_H_
#define ZELCRAFT_FRAME_ZELFACTORY_H_

#include <vector>

#include "frame/ZelExport.h"
#include "frame/ZelWarning.h"
#include "frame/host/HostInterfaces.h"
#include "settings/ZelSettingKeys.h"

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

 private:
  TorCommon_1_3::TorStatus status_;
  ZelWarning warnings_;
};

#endif  // ZELCRAFT_FRAME_ZELFACTORY_H_
