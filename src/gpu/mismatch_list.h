#pragma once
// The lines a read-back makes where the card holds something else than what was sent, in
// the form "<what>: got '<read><unit>' instead of '<sent><unit>'\n", and the report that
// puts them under one heading.

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

struct SetterContext;

class MismatchList {
 public:
  // One line when got and sent differ; unit is appended to both numbers (" MHz", " °C", "").
  void Compare(std::string_view what, int32_t got, int32_t sent, std::string_view unit);
  // One line when the texts differ; used for switches shown as words.
  void CompareText(std::string_view what, std::string_view got, std::string_view sent);
  // One line whatever the texts: for values compared in another unit than they are shown.
  void Add(std::string_view what, std::string_view got, std::string_view sent);

  bool empty() const { return lines_.empty(); }
  const std::string& lines() const { return lines_; }

  // Reports heading + lines with code 0 when there is any line.
  void ReportUnder(const SetterContext& context, std::string_view heading) const;

 private:
  std::string lines_;
};

}  // namespace tw
