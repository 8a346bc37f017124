// ColumnStore: the data set held in memory as typed columns, so the data
// passes replay it without parsing it again. Numbers are stored as 64-bit
// integers or doubles; texts are coded against a dictionary of the distinct
// texts of their column, which keeps repetitive text columns small.
#ifndef ZELCRAFT_CLI_COLUMNSTORE_H_
#define ZELCRAFT_CLI_COLUMNSTORE_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelcli {

class Column {
 public:
  // `storage` is a TorStorage code; it decides which Append and getter apply.
  explicit Column(int storage) : storage_(storage) {}
  Column(const Column&) = delete;
  Column& operator=(const Column&) = delete;
  Column(Column&&) = default;

  int storage() const { return storage_; }
  std::size_t size() const { return missing_.size(); }

  bool IsMissing(std::size_t row) const { return missing_[row]; }
  int64_t Integer(std::size_t row) const { return integers_[row]; }
  double Double(std::size_t row) const { return doubles_[row]; }
  const std::string& Text(std::size_t row) const { return dictionary_[codes_[row]]; }
  std::size_t DistinctTexts() const { return dictionary_.size(); }

  void AppendMissing();
  void AppendInteger(int64_t value);
  void AppendDouble(double value);
  void AppendText(std::string_view text);

 private:
  int storage_;
  std::vector<bool> missing_;
  std::vector<int64_t> integers_;
  std::vector<double> doubles_;
  std::vector<uint32_t> codes_;
  // A deque keeps its strings in place, so the index may view them.
  std::deque<std::string> dictionary_;
  std::unordered_map<std::string_view, uint32_t> index_;
};

struct ColumnStore {
  std::vector<std::string> names;
  std::vector<Column> columns;

  std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_COLUMNSTORE_H_
