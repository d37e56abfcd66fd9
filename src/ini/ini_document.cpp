#include "ini/ini_document.h"

#include "base/text.h"

namespace tw {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlankLine(std::string_view line) { return TrimBlanks(line).empty(); }

// A line break inside a value would end the line and could start a section of its own.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

std::optional<std::string> SectionName(std::string_view line) {
  const std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const size_t close = trimmed.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return std::string(TrimBlanks(trimmed.substr(1, close - 1)));
}

// Calls `line` for each line of the text; CR LF, LF and a lone CR all end a line.
template <typename F>
void ForEachLine(std::string_view text, F&& line) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}

}  // namespace

IniSection::IniSection(std::string header, std::string name) : header_(std::move(header)), name_(std::move(name)) {}

IniSection::Line IniSection::MakeLine(std::string text) {
  Line line{std::move(text)};
  const std::string_view view = line.text;
  const std::string_view trimmed = TrimBlanks(view);
  if (trimmed.empty() || trimmed.front() == ';') return line;
  const size_t equals = view.find('=');
  if (equals == std::string_view::npos) return line;
  const std::string_view key = TrimBlanks(view.substr(0, equals));
  if (key.empty()) return line;
  line.keyStart = static_cast<size_t>(key.data() - view.data());
  line.keyLength = key.size();
  line.valueStart = equals + 1;
  return line;
}

std::string IniSection::EntryText(std::string_view key, std::string_view value) {
  return OneLine(key) + "=" + OneLine(value);
}

std::string_view IniSection::KeyOf(const Line& line) const {
  return std::string_view(line.text).substr(line.keyStart, line.keyLength);
}

size_t IniSection::IndexOf(std::string_view key) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].keyLength != 0 && EqualsIgnoringAsciiCase(KeyOf(lines_[i]), key)) return i;
  return kNone;
}

std::optional<std::string_view> IniSection::Value(std::string_view key) const {
  const size_t index = IndexOf(key);
  if (index == kNone) return std::nullopt;
  return TrimBlanks(std::string_view(lines_[index].text).substr(lines_[index].valueStart));
}

void IniSection::SetValue(std::string_view key, std::string_view value) {
  if (const size_t index = IndexOf(key); index != kNone) {
    Line& line = lines_[index];
    line = MakeLine(EntryText(KeyOf(line), value));
    return;
  }
  size_t end = lines_.size();
  while (end > 0 && IsBlankLine(lines_[end - 1].text)) --end;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end), MakeLine(EntryText(key, value)));
}

void IniSection::SetValueAfter(std::string_view key, std::string_view value, std::string_view after) {
  if (const size_t index = IndexOf(key); index != kNone) {
    lines_[index] = MakeLine(EntryText(KeyOf(lines_[index]), value));
    return;
  }
  const size_t previous = after.empty() ? kNone : IndexOf(after);
  const size_t at = previous == kNone ? 0 : previous + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), MakeLine(EntryText(key, value)));
}

void IniSection::Append(std::string_view key, std::string_view value) {
  lines_.push_back(MakeLine(EntryText(key, value)));
}

bool IniSection::RemoveKey(std::string_view key) {
  const size_t before = lines_.size();
  std::erase_if(lines_, [&](const Line& line) {
    return line.keyLength != 0 && EqualsIgnoringAsciiCase(KeyOf(line), key);
  });
  return lines_.size() != before;
}

void IniSection::Rename(std::string_view name) {
  name_ = OneLine(name);
  header_ = "[" + name_ + "]";
}

void IniSection::AddRawLine(std::string line) { lines_.push_back(MakeLine(std::move(line))); }

std::vector<std::string> IniSection::Lines() const {
  size_t end = lines_.size();
  while (end > 0 && IsBlankLine(lines_[end - 1].text)) --end;
  std::vector<std::string> lines;
  for (size_t i = 0; i < end; ++i) lines.push_back(lines_[i].text);
  return lines;
}

void IniSection::Serialize(std::string& out) const {
  out += header_;
  out += kLineEnd;
  size_t end = lines_.size();
  while (end > 0 && IsBlankLine(lines_[end - 1].text)) --end;
  for (size_t i = 0; i < end; ++i) {
    out += lines_[i].text;
    out += kLineEnd;
  }
  out += kLineEnd;
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  ForEachLine(text, [&](std::string_view line) {
    if (std::optional<std::string> name = SectionName(line)) {
      document.sections_.emplace_back(std::string(line), std::move(*name));
    } else if (document.sections_.empty()) {
      document.preface_.emplace_back(line);
    } else {
      document.sections_.back().AddRawLine(std::string(line));
    }
  });
  return document;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const std::string& line : preface_) {
    out += line;
    out += kLineEnd;
  }
  for (const IniSection& section : sections_) section.Serialize(out);
  return out;
}

const std::unordered_map<std::string, size_t>& IniDocument::Index() const {
  if (!indexed_) {
    index_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) index_.emplace(ToLowerAscii(sections_[i].name()), i);
    indexed_ = true;
  }
  return index_;
}

const IniSection* IniDocument::Find(std::string_view section) const {
  const auto& index = Index();
  const auto it = index.find(ToLowerAscii(section));
  return it == index.end() ? nullptr : &sections_[it->second];
}

IniSection* IniDocument::Find(std::string_view section) {
  return const_cast<IniSection*>(static_cast<const IniDocument&>(*this).Find(section));
}

std::optional<std::string_view> IniDocument::Value(std::string_view section, std::string_view key) const {
  const IniSection* s = Find(section);
  return s == nullptr ? std::nullopt : s->Value(key);
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  IniSection* s = Find(section);
  if (s == nullptr) s = &AppendSection(section);
  s->SetValue(key, value);
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  bool removed = false;
  for (IniSection& s : sections_)
    if (EqualsIgnoringAsciiCase(s.name(), section)) removed = s.RemoveKey(key) || removed;
  return removed;
}

bool IniDocument::RemoveSection(std::string_view section) {
  if (Find(section) == nullptr) return false;
  return RemoveSections([&](const std::string& name) { return EqualsIgnoringAsciiCase(name, section); }) != 0;
}

size_t IniDocument::RemoveSections(const std::function<bool(const std::string& name)>& which) {
  const size_t removed = std::erase_if(sections_, [&](const IniSection& s) { return which(s.name()); });
  if (removed != 0) indexed_ = false;
  return removed;
}

IniSection& IniDocument::AppendSection(std::string_view section) {
  const std::string name = OneLine(section);
  sections_.emplace_back("[" + name + "]", name);
  if (indexed_) index_.emplace(ToLowerAscii(name), sections_.size() - 1);
  return sections_.back();
}

void IniDocument::ForEachSection(const std::function<void(IniSection& section, bool firstOfName)>& visit) {
  const auto& index = Index();
  std::vector<std::pair<std::string, size_t>> firsts(index.begin(), index.end());
  std::vector<bool> first(sections_.size(), false);
  for (const auto& entry : firsts) first[entry.second] = true;
  for (size_t i = 0; i < sections_.size(); ++i) visit(sections_[i], first[i]);
  indexed_ = false;  // names may have changed
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const IniSection& s : sections_) names.push_back(s.name());
  return names;
}

}  // namespace tw
