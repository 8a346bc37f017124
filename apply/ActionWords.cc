#include "ActionWords.h"

namespace zelapply {

namespace {

#define ZEL_ACTION_WORDS(step, action, id, name, key, category, words, handler, rule, expression, \
                         quote, statistics)                                                      \
  {step, action, key, Category::k##category, words},
constexpr ActionEntry kActions[] = {ZEL_ACTIONS(ZEL_ACTION_WORDS)};
#undef ZEL_ACTION_WORDS

const char* WordsOf(std::string_view reasonKey, Category category) {
  const ActionEntry* action = FindAction(reasonKey);
  return action != nullptr && action->category == category ? action->words : nullptr;
}

}  // namespace

const ActionEntry* FindAction(std::string_view reasonKey) {
  if (reasonKey.empty()) return nullptr;
  for (const ActionEntry& action : kActions) {
    if (reasonKey == action.reasonKey) return &action;
  }
  return nullptr;
}

uint32_t ActionOf(std::string_view reasonKey) {
  const ActionEntry* action = FindAction(reasonKey);
  return action != nullptr ? action->action : Action::kCount;
}

const char* ExclusionReasonText(std::string_view reasonKey) {
  return WordsOf(reasonKey, Category::kExclusion);
}

const char* DerivationText(std::string_view reasonKey) {
  return WordsOf(reasonKey, Category::kDerivation);
}

std::string SkewTransformWords(const std::vector<std::string>& parameters) {
  if (parameters.size() == 2) return "Box-Cox, exponent " + parameters[0];
  return "signed log";
}

}  // namespace zelapply
