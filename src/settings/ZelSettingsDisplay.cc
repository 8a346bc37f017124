#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/ZelSettingTable.h"
#include "torcommon13r/TorDisplay.h"

using namespace TorDisplay_1_3;

namespace {

// Display labels of the step suffixes, indexed by StepSuffix.
#define ZEL_STEP_SUFFIX_LABEL(id, text, label) label,
const char* const kStepSuffixLabels[ZelSettings::kStepSuffixCount] = {
    ZEL_STEP_SUFFIXES(ZEL_STEP_SUFFIX_LABEL)};
#undef ZEL_STEP_SUFFIX_LABEL

// A display line (or lines) of one member, placed by the member's address:
// members are laid out in declaration order, which is the display's order.
struct Line {
  std::uintptr_t place;
  std::function<void()> show;
};

template <typename M>
Line At(const M& member, std::function<void()> show) {
  return {reinterpret_cast<std::uintptr_t>(&member), std::move(show)};
}

// A reference date or time: its three parts, then its (unreduced) seconds.
void DisplayReference(const std::string& label, const std::array<const char*, 3>& parts,
                      const std::array<int, 3>& values, double seconds) {
  for (std::size_t i = 0; i < parts.size(); ++i) DisplayI(label + parts[i], values[i]);
  DisplayD(label + "Seconds", seconds);
}

// The line of a row's member under the row's label.
Line RowLine(const ZelSettings& s, const ZelSettingRow& row) {
  const std::string label = row.label;
  return std::visit(
      ZelSettingVisitor{
          [&](bool ZelSettings::*m) { return At(s.*m, [&s, m, label] { DisplayB(label, s.*m); }); },
          [&](int ZelSettings::*m) {
            return At(s.*m, [&s, m, label, &row] {
              if (row.shownAs != nullptr) return DisplayS(label, row.shownAs(s));
              if (row.choices.empty() || row.choices.front().label == nullptr) {
                return DisplayI(label, s.*m);
              }
              // An unknown value shows as the first choice.
              const ZelSettingChoice* shown = &row.choices.front();
              for (const ZelSettingChoice& choice : row.choices) {
                if (choice.value == s.*m) shown = &choice;
              }
              DisplayS(label, shown->label);
            });
          },
          [&](double ZelSettings::*m) {
            return At(s.*m, [&s, m, label] { DisplayD(label, s.*m); });
          },
          [&](NamePart part) {
            const std::string& value = s.GetNamePart(part);
            return At(value, [&value, label] { DisplayS(label, value); });
          },
          [&](ZelReferenceDate ZelSettings::*m) {
            const ZelReferenceDate& d = s.*m;
            return At(d, [&d, label] {
              DisplayReference(label, {"Year", "Month", "Day"}, {d.year, d.month, d.day},
                               d.seconds);
            });
          },
          [&](ZelReferenceTime ZelSettings::*m) {
            const ZelReferenceTime& t = s.*m;
            return At(t, [&t, label] {
              DisplayReference(label, {"Hour", "Minute", "Second"}, {t.hour, t.minute, t.second},
                               t.seconds);
            });
          },
      },
      row.member);
}

}  // namespace

void ZelSettings::Display() const {
  // The members no key sets alone, then every row's member with a label.
  std::vector<Line> lines = {
      At(frequencyWeightIndex,
         [this] { DisplayI("FrequencyWeightFeatureIndex", frequencyWeightIndex); }),
      At(forcedFeatureIndices, [this] { DisplayIV("ForcedFeatureIndex", forcedFeatureIndices); }),
      At(replaceMissingTarget, [this] { DisplayB("ReplaceMissingTarget", replaceMissingTarget); }),
      At(boxCoxExponentStart, [this] { DisplayD("BoxCoxExponentStart", boxCoxExponentStart); }),
      At(boxCoxExponentEnd, [this] { DisplayD("BoxCoxExponentEnd", boxCoxExponentEnd); }),
      At(boxCoxExponentStep, [this] { DisplayD("BoxCoxExponentStep", boxCoxExponentStep); }),
      At(rescaling, [this] { DisplayB("Rescaling", rescaling); }),
      At(reorderNominalCats, [this] { DisplayB("ReorderNominalCats", reorderNominalCats); }),
      At(unsupervisedMerge, [this] { DisplayB("UnsupervisedMerge", unsupervisedMerge); }),
      At(progressListener,
         [this] { DisplayB("ProgressListenerSet", progressListener != nullptr); }),
  };
  for (int i = 0; i < kStepSuffixCount; ++i) {
    lines.push_back(
        At(stepSuffixes[i], [this, i] { DisplayS(kStepSuffixLabels[i], stepSuffixes[i]); }));
  }
  for (const ZelSettingRow& row : ZelSettingRows()) {
    if (row.label != nullptr) lines.push_back(RowLine(*this, row));
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const Line& a, const Line& b) { return a.place < b.place; });
  DisplayText("ZelSettings display start");
  for (const Line& line : lines) line.show();
  DisplayText("End of display ZelSettings object");
}
