#pragma once
// One journal line per entry-point call:
//   NAME key=value key=value ... result=R us=T pid=P
// Values never contain blanks (texts are quoted with \" \\ \r \n escapes); see sim/README.md.

#include <string>
#include <vector>

namespace adlsim {

class JournalLine {
 public:
  explicit JournalLine(std::string name) : text_(std::move(name)) {}
  JournalLine& Add(const std::string& key, int value);
  JournalLine& Add(const std::string& key, const std::string& value);  // as it is (no blanks)
  JournalLine& AddText(const std::string& key, const std::string& value);  // quoted
  JournalLine& AddHex(const std::string& key, int value);                  // 0x%02X
  JournalLine& AddList(const std::string& key, const std::vector<int>& values);  // a,b,c
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace adlsim
