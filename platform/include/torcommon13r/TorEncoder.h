// TorEncoder: what the host knows about the values of one field beyond the
// data itself: value labels, user-defined missing values (discrete numbers,
// discrete strings, an optional numeric range) and the labels of the
// discrete missing values.
#ifndef TORCOMMON13R_TORENCODER_H_
#define TORCOMMON13R_TORENCODER_H_

#include <string>
#include <vector>

namespace TorCommon_1_3 {

class TorEncoder {
 public:
  // A label for the value whose text is `valueText` ("2", "N").
  void AddValueLabel(const std::string& valueText, const std::string& label);
  // The labels in the order they were added; GetLabeledValue(i) is the text
  // of the value that label i describes ("" when i is out of range).
  const std::vector<std::string>& GetValueLabels() const { return labels_; }
  std::string GetLabeledValue(std::size_t i) const;

  // Discrete missing values; `label` may be empty.
  void AddMissingValue(double value, const std::string& label = std::string());
  void AddMissingString(const std::string& value, const std::string& label = std::string());
  const std::vector<double>& GetMissingValues() const { return missingValues_; }
  const std::vector<std::string>& GetMissingStrings() const { return missingStrings_; }
  // Labels of the discrete missing values, numbers first, then strings.
  std::vector<std::string> GetMissingLabels() const;

  void SetMissingRange(double low, double high);
  // False when there is no range; otherwise fills low and high.
  bool GetMissingRange(double& low, double& high) const;

  bool IsEmpty() const;

 private:
  std::vector<std::string> labeledValues_;
  std::vector<std::string> labels_;
  std::vector<double> missingValues_;
  std::vector<std::string> missingValueLabels_;
  std::vector<std::string> missingStrings_;
  std::vector<std::string> missingStringLabels_;
  bool hasRange_ = false;
  double rangeLow_ = 0.0;
  double rangeHigh_ = 0.0;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORENCODER_H_
