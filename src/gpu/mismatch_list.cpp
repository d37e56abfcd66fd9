#include "gpu/mismatch_list.h"

#include "gpu/setter_context.h"

namespace tw {

void MismatchList::Compare(std::string_view what, int32_t got, int32_t sent, std::string_view unit) {
  if (got == sent) return;
  const std::string g = std::to_string(got) + std::string(unit);
  const std::string s = std::to_string(sent) + std::string(unit);
  CompareText(what, g, s);
}

void MismatchList::CompareText(std::string_view what, std::string_view got, std::string_view sent) {
  if (got != sent) Add(what, got, sent);
}

void MismatchList::Add(std::string_view what, std::string_view got, std::string_view sent) {
  lines_.append(what);
  lines_.append(": got '");
  lines_.append(got);
  lines_.append("' instead of '");
  lines_.append(sent);
  lines_.append("'\n");
}

void MismatchList::ReportUnder(const SetterContext& context, std::string_view heading) const {
  if (empty()) return;
  context.Report(std::string(heading) + lines_, 0);
}

}  // namespace tw
