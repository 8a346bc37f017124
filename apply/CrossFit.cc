#include "CrossFit.h"

#include <cmath>

#include "Numbers.h"

namespace zelapply {

CrossFit::CrossFit(const Program& program) {
  std::vector<uint32_t> read;
  for (std::size_t k = 0; k < program.crossFits().size(); ++k) {
    Table table;
    table.spec = program.crossFits()[k];
    table.map = &program.crossFitTable(k);
    table.categories = table.map->outputs.size();
    table.target = program.Find(table.spec.target);
    if (table.target < 0) error_ = "the cross-fitting target '" + table.spec.target + "' is no field";
    auto weight = [&](const std::string& name, int* slot) {
      if (name.empty()) return;
      *slot = program.Find(name);
      if (*slot < 0) error_ = "the cross-fitting weight '" + name + "' is no field";
    };
    weight(table.spec.frequencyWeight, &table.frequency);
    weight(table.spec.analysisWeight, &table.analysis);
    table.numericCategory =
        table.spec.hasCategory && ParseNumber(table.spec.category, &table.categoryNumber);
    const std::size_t cells = static_cast<std::size_t>(table.spec.folds) * table.categories;
    table.sums.assign(cells, 0.0);
    table.weights.assign(cells, 0.0);
    read.push_back(table.spec.input);
    for (int slot : {table.target, table.frequency, table.analysis}) {
      if (slot >= 0) read.push_back(static_cast<uint32_t>(slot));
    }
    tables_.push_back(std::move(table));
  }
  if (error_.empty()) slice_ = program.SliceFor(read);
}

bool CrossFit::Observe(const Table& table, const Frame& frame, double* y, double* weight) {
  const Value& target = frame[static_cast<std::size_t>(table.target)];
  if (target.missing) return false;
  if (!table.spec.hasCategory) {
    if (!target.IsNumeric()) return false;
    *y = target.AsDouble();
  } else if (target.type == ValueType::kString) {
    *y = target.text == table.spec.category ? 1.0 : 0.0;
  } else if (target.IsNumeric() && table.numericCategory) {
    *y = target.AsDouble() == table.categoryNumber ? 1.0 : 0.0;
  } else {
    return false;
  }
  *weight = 1.0;
  if (table.frequency >= 0) {
    const Value& f = frame[static_cast<std::size_t>(table.frequency)];
    // Whole records, rounded half up, as the build counts them.
    const double records = f.missing || !f.IsNumeric() ? 0.0 : std::trunc(f.AsDouble() + 0.5);
    if (!(records > 0.0)) return false;
    *weight = records;
  }
  if (table.analysis >= 0) {
    const Value& a = frame[static_cast<std::size_t>(table.analysis)];
    const double w = a.missing || !a.IsNumeric() ? 0.0 : a.AsDouble();
    if (!(w > 0.0)) return false;
    *weight *= w;
  }
  return std::isfinite(*y);
}

void CrossFit::Gather(const Frame& frame, std::size_t row) {
  for (Table& table : tables_) {
    const Value& input = frame[table.spec.input];
    if (input.missing) continue;
    const Value* found = table.map->Find(input);
    if (found == nullptr) continue;
    double y = 0.0;
    double weight = 0.0;
    if (!Observe(table, frame, &y, &weight)) continue;
    const std::size_t fold = row % static_cast<std::size_t>(table.spec.folds);
    const std::size_t cell =
        fold * table.categories + static_cast<std::size_t>(found - table.map->outputs.data());
    table.sums[cell] += weight * y;
    table.weights[cell] += weight;
  }
}

void CrossFit::Finish() {
  for (Table& table : tables_) {
    const std::size_t folds = static_cast<std::size_t>(table.spec.folds);
    const std::size_t n = table.categories;
    const double m = table.spec.smoothing;
    const double fallback = table.map->hasDefault ? table.map->defaultOutput.AsDouble() : 0.0;
    table.means.assign(folds * (n + 1), 0.0);
    for (std::size_t f = 0; f < folds; ++f) {
      // Each category's sums over the other folds, added fold by fold.
      std::vector<double> sums(n, 0.0);
      std::vector<double> weights(n, 0.0);
      double sum = 0.0;
      double weight = 0.0;
      for (std::size_t g = 0; g < folds; ++g) {
        if (g == f) continue;
        for (std::size_t c = 0; c < n; ++c) {
          sums[c] += table.sums[g * n + c];
          weights[c] += table.weights[g * n + c];
        }
      }
      for (std::size_t c = 0; c < n; ++c) {
        sum += sums[c];
        weight += weights[c];
      }
      const double prior = weight > 0.0 ? sum / weight : fallback;
      double* means = &table.means[f * (n + 1)];
      means[0] = prior;
      for (std::size_t c = 0; c < n; ++c) {
        const double denominator = weights[c] + m;
        means[c + 1] = denominator > 0.0 ? (sums[c] + m * prior) / denominator : prior;
      }
    }
  }
}

double CrossFit::Mean(std::size_t table, std::size_t row, int category) const {
  const Table& t = tables_[table];
  const std::size_t fold = row % static_cast<std::size_t>(t.spec.folds);
  return t.means[fold * (t.categories + 1) + static_cast<std::size_t>(category + 1)];
}

}  // namespace zelapply
