#include "store/StoreTypes.h"

#include <algorithm>

namespace orb {

bool SameFieldName(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y)); });
}

std::size_t FindFieldDef(const std::vector<TFieldDef>& defs, std::string_view name) {
  for (std::size_t i = 0; i < defs.size(); ++i)
    if (SameFieldName(defs[i].Name, name)) return i;
  return std::string::npos;
}

}  // namespace orb
