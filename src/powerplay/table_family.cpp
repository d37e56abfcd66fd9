#include "powerplay/table_family.h"

namespace tw {

std::string_view TableFamilyText(TableFamily family) {
  switch (family) {
    case TableFamily::Fiji: return "Fiji table found";
    case TableFamily::Polaris: return "Polaris table found";
    case TableFamily::Vega: return "Vega table found";
    case TableFamily::Unsupported: break;
  }
  return "not supported";
}

}  // namespace tw
