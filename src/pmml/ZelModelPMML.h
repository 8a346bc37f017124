// ZelModelPMML: the PMML 4.0 document of a finished build. It describes the
// input fields as the host gave them, every derived field as an expression a
// PMML consumer can apply to new data, and, in our vendor extension, the
// processing summary. The document is built in memory and written in one
// piece, so a failure leaves the stream untouched.
#ifndef ZELCRAFT_PMML_ZELMODELPMML_H_
#define ZELCRAFT_PMML_ZELMODELPMML_H_

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorXML.h"
#include "pmml/PMMLHeaderInfo.h"
#include "pmml/ZelSummaryPMML.h"
#include "pmml/ZelSummaryTable.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelPMML {

class ZelModelPMML {
 public:
  // `parameterNames` name the parameter attributes of the summary's actions.
  ZelModelPMML(const ZelVariableHandleList& fields, const ZelSummary::SummaryTable& summary,
               std::vector<std::string> parameterNames);
  virtual ~ZelModelPMML();
  ZelModelPMML(const ZelModelPMML&) = delete;
  ZelModelPMML& operator=(const ZelModelPMML&) = delete;

  // Builds the document and writes it to `out`; `header` may be null. The
  // status is success or the first error, in which case nothing is written.
  void Write(TorCommon_1_3::TorStatus& status, std::ostream& out, const PMMLHeaderInfo* header);

 private:
  std::unique_ptr<TorXML_1_3::XMLElement> CreateHeader(const PMMLHeaderInfo* header) const;
  TorCommon_1_3::TorStatus AppendDataDictionary();
  TorCommon_1_3::TorStatus AppendTransformationDictionary();
  TorCommon_1_3::TorStatus AppendVendorExtension();

  const ZelVariableHandleList& fields_;
  const ZelSummary::SummaryTable& summary_;
  const std::vector<std::string> parameterNames_;
  const ZelSummaryPMML summaryWriter_;
  std::unique_ptr<TorXML_1_3::XMLElement> root_;
  TorCommon_1_3::TorStatus status_;
};

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELMODELPMML_H_
