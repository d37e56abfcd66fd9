#pragma once
// The outcome of taking a table out of a file's contents: the table, or the message that
// explains why there is none.

#include <string>

#include "powerplay/table_field.h"

namespace tw {

struct TableParse {
  PowerPlayTable table{};
  std::string error{};  // empty on success
  std::string note{};   // what was left out of a table that loaded, for the user; empty when nothing
  bool ok() const { return error.empty(); }
};

inline TableParse ParseFailure(std::string message) { return {.error = std::move(message)}; }

}  // namespace tw
