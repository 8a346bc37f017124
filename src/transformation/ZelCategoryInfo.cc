#include "transformation/ZelCategoryInfo.h"

namespace ZelTransformation {

CategoryInfo::~CategoryInfo() = default;

}  // namespace ZelTransformation
