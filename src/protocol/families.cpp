#include "protocol/families.h"

#include <cctype>

namespace velarin {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

const FamilyFacts& FactsOf(EcuFamily family) {
  for (const FamilyFacts& f : kFamilies) {
    if (f.id == family) return f;
  }
  return kFamilies[0];
}

std::optional<EcuFamily> FamilyNamed(std::string_view name) {
  for (const FamilyFacts& f : kFamilies) {
    if (EqualsNoCase(f.caption, name)) return f.id;
  }
  return std::nullopt;
}

std::optional<EcuFamily> FamilyWithSettingsCode(std::string_view code) {
  for (const FamilyFacts& f : kFamilies) {
    if (f.settings_code == code) return f.id;
  }
  return std::nullopt;
}

std::string FamilyCaptions(std::string_view separator) {
  std::string joined;
  for (const FamilyFacts& f : kFamilies) {
    if (!joined.empty()) joined += separator;
    joined += f.caption;
  }
  return joined;
}

}  // namespace velarin
