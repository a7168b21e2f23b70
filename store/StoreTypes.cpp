#include "store/StoreTypes.h"

#include "text/TextCompare.h"

namespace orb {

std::size_t FindFieldDef(const std::vector<TFieldDef>& defs, std::string_view name) {
  for (std::size_t i = 0; i < defs.size(); ++i)
    if (SameText(defs[i].Name, name)) return i;
  return std::string::npos;
}

}  // namespace orb
