// TorSettings: the host's container of named, typed settings values. A key
// holds exactly one type; a lookup with another type finds nothing.
#ifndef TORCOMMON13R_TORSETTINGS_H_
#define TORCOMMON13R_TORSETTINGS_H_

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace TorCommon_1_3 {

class TorSettings {
 public:
  using Value = std::variant<bool, int, double, std::string>;

  // Setting a key again replaces its value and its type.
  void SetBool(const std::string& key, bool value) { values_[key] = value; }
  void SetInt(const std::string& key, int value) { values_[key] = value; }
  void SetDouble(const std::string& key, double value) { values_[key] = value; }
  void SetString(const std::string& key, const std::string& value) { values_[key] = value; }
  void Remove(const std::string& key) { values_.erase(key); }
  void Clear() { values_.clear(); }

  // True when the key exists with the requested type; only then is `out`
  // written.
  bool GetSettingValByName(const std::string& key, bool& out) const { return Get(key, out); }
  bool GetSettingValByName(const std::string& key, int& out) const { return Get(key, out); }
  bool GetSettingValByName(const std::string& key, double& out) const { return Get(key, out); }
  bool GetSettingValByName(const std::string& key, std::string& out) const { return Get(key, out); }

  bool Contains(const std::string& key) const { return values_.count(key) != 0; }
  std::vector<std::string> Keys() const;

 private:
  template <typename T>
  bool Get(const std::string& key, T& out) const {
    auto it = values_.find(key);
    if (it == values_.end()) return false;
    const T* typed = std::get_if<T>(&it->second);
    if (typed == nullptr) return false;
    out = *typed;
    return true;
  }

  std::map<std::string, Value> values_;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_TORSETTINGS_H_
