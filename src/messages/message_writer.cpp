#include "messages/message_writer.h"

#include <string>

#include "platform/ansi_code_page.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/dialogs.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr int32_t kNotSupported = -8;
constexpr uint32_t kErrorAccessDenied = 5;

std::string RemoveLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace

std::string_view AdlErrorText(int32_t code) {
  switch (code) {
    case 4: return "ADL_OK_WAIT - All OK, but need to wait";
    case 3: return "ADL_OK_RESTART - All OK, but need restart";
    case 2: return "ADL_OK_MODE_CHANGE - All OK, but need mode change";
    case 1: return "ADL_OK_WARNING - All OK, but with warning";
    case -2: return "ADL_ERR_NOT_INIT - ADL not initialized";
    case -3: return "ADL_ERR_INVALID_PARAM - One of the parameter passed is invalid";
    case -4: return "ADL_ERR_INVALID_PARAM_SIZE - One of the parameter size is invalid";
    case -5: return "ADL_ERR_INVALID_ADL_IDX - Invalid ADL index passed";
    case -6: return "ADL_ERR_INVALID_CONTROLLER_IDX - Invalid controller index passed";
    case -7: return "ADL_ERR_INVALID_DIPLAY_IDX - Invalid display index passed";
    case -8: return "ADL_ERR_NOT_SUPPORTED - Function not supported by the driver";
    case -9: return "ADL_ERR_NULL_POINTER - Null Pointer error";
    case -10: return "ADL_ERR_DISABLED_ADAPTER - Call can't be made due to disabled adapter";
    case -11: return "ADL_ERR_INVALID_CALLBACK - Invalid Callback";
    case -12: return "ADL_ERR_RESOURCE_CONFLICT - Display Resource conflict";
    case -20:
      return "ADL_ERR_SET_INCOMPLETE - Failed to update some of the values. Can be returned by set request that "
             "include multiple values if not all values were successfully committed";
    case -21: return "ADL_ERR_NO_XDISPLAY - There's no Linux XDisplay in Linux Console environment";
    default: return "";
  }
}

MessageWriter::MessageWriter(const bool& ignoreError8, Platform& platform)
    : ignoreError8_(ignoreError8), platform_(platform) {}

bool MessageWriter::Suppressed(int32_t code, bool codeIsSystemError) const {
  return ignoreError8_ && !showNotSupported_ && code == kNotSupported && !codeIsSystemError;
}

std::string MessageWriter::ComposeErrorText(std::string_view text, int32_t code, bool codeIsSystemError) {
  if (code == 0) return std::string(text);
  const std::string codeText = codeIsSystemError
                                   ? RemoveLineBreaks(platform_.errors.Describe(static_cast<uint32_t>(code)))
                                   : std::string(AdlErrorText(code));
  std::string out(text);
  out += " (ErrorCode: " + std::to_string(code) + ")";
  if (!codeText.empty()) out += " (" + codeText + ")";
  return out;
}

void MessageWriter::ShowError(std::string_view text, int32_t code, bool codeIsSystemError) {
  if (consoleOnly_) {
    ReportMessage(text, true, code, MessageKind::Error, codeIsSystemError);
    return;
  }
  ShowErrorBox(text, code, codeIsSystemError);
}

void MessageWriter::ShowErrorBox(std::string_view text, int32_t code, bool codeIsSystemError) {
  if (Suppressed(code, codeIsSystemError)) {
    ++hiddenNotSupported_;
    return;
  }
  const std::string composed = ComposeErrorText(text, code, codeIsSystemError);
  if (gathering_) return gathering_->Hold(composed, BoxIcon::Error);
  platform_.dialogs.ShowMessage(composed, kCaption, BoxIcon::Error, /*topMost=*/true);
}

void MessageWriter::ReportMessage(std::string_view text, bool console, int32_t code, MessageKind kind,
                                  bool codeIsSystemError) {
  if (Suppressed(code, codeIsSystemError)) {
    ++hiddenNotSupported_;
    return;
  }
  if (console || consoleOnly_) {
    if (AttachParentConsole()) {
      WriteConsoleLine(text, code, kind, codeIsSystemError);
      return;
    }
    if (text.empty()) return;
  }
  ShowBox(text, kind, code, codeIsSystemError);
}

void MessageWriter::WriteConsoleLine(std::string_view text, int32_t code, MessageKind kind,
                                     bool codeIsSystemError) {
  Console& console = platform_.console;
  if (text.empty()) {
    console.SetTextAttribute(kAttributeNormal);
    return;
  }
  std::string line;
  uint16_t attribute = kAttributeNormal;
  switch (kind) {
    case MessageKind::Error:
      line = "ERROR: " + ComposeErrorText(text, code, codeIsSystemError);
      attribute = kAttributeError;
      break;
    case MessageKind::Info:
    case MessageKind::InfoIcon:
      line = "INFO: " + std::string(text);
      attribute = kAttributeInfo;
      break;
    case MessageKind::Warning:
      line = "WARNING: " + std::string(text);
      attribute = kAttributeWarning;
      break;
  }
  console.SetTextAttribute(attribute);
  console.Write(RemoveLineBreaks(line) + "\n");
  console.SetTextAttribute(kAttributeNormal);
}

void MessageWriter::ShowBox(std::string_view text, MessageKind kind, int32_t code, bool codeIsSystemError) {
  if (kind == MessageKind::Error) return ShowErrorBox(text, code, codeIsSystemError);
  const BoxIcon icon = kind == MessageKind::InfoIcon  ? BoxIcon::Information
                       : kind == MessageKind::Warning ? BoxIcon::Warning
                                                      : BoxIcon::None;
  if (gathering_) return gathering_->Hold(text, icon);
  platform_.dialogs.ShowMessage(text, kCaption, icon, false);
}

bool MessageWriter::AttachParentConsole() {
  if (attached_) return true;
  Console& console = platform_.console;
  uint32_t error = 0;
  if (!console.AttachToParent(error)) {
    if (error == kErrorAccessDenied) {  // the process already has a console
      attached_ = true;
      return true;
    }
    WriteLogLine("AttachConsole function failed", static_cast<int32_t>(error), true, false);
    return false;
  }
  if (!console.OpenStandardOutput(error)) {
    WriteLogLine("GetStdHandle function failed", static_cast<int32_t>(error), true, false);
    return false;
  }
  if (!console.BindRuntimeOutput()) return false;
  attached_ = true;
  return true;
}

void MessageWriter::WriteLogLine(std::string_view text, int32_t code, bool codeIsSystemError, bool plain) {
  const std::string entry = plain ? std::string(text) : "ERROR: " + ComposeErrorText(text, code, codeIsSystemError);
  Clock& clock = platform_.clock;
  const LocalDateTime now = clock.Now();
  const std::string line = clock.FormatShortDate(now) + " " + clock.FormatLongTime(now) + " - " + entry + "\r\n";
  // A log that cannot be written must not take the run down with it; the entry is lost.
  platform_.files.AppendToFile(Path(std::string(kLogFileName)), platform_.ansi.FromUtf8(line));
}

void MessageWriter::FlushFileToDisk(const Path& path) {
  switch (platform_.files.FlushToDisk(path)) {
    case FlushFailure::None:
      break;
    case FlushFailure::Open:
      WriteLogLine("CreateFile function failed", static_cast<int32_t>(platform_.errors.LastError()), true, false);
      break;
    case FlushFailure::Flush:
      WriteLogLine("FlushFileBuffers function failed", static_cast<int32_t>(platform_.errors.LastError()), true,
                   false);
      break;
  }
}

MessageWriter::ConsoleScope::ConsoleScope(MessageWriter& writer, bool console)
    : writer_(writer), previous_(writer.consoleOnly_) {
  writer_.consoleOnly_ = console;
}

MessageWriter::ConsoleScope::~ConsoleScope() { writer_.consoleOnly_ = previous_; }

MessageWriter::GatherScope::GatherScope(MessageWriter& writer) : writer_(writer), previous_(writer.gathering_) {
  writer_.gathering_ = this;
}

MessageWriter::GatherScope::~GatherScope() {
  writer_.gathering_ = previous_;
  if (text_.empty()) return;
  try {
    // An error's box is top-most, as each of them would have been.
    writer_.platform_.dialogs.ShowMessage(text_, kCaption, icon_, icon_ == BoxIcon::Error);
  } catch (...) {  // nothing may leave a destructor; a box that cannot be shown is lost
  }
}

void MessageWriter::GatherScope::Hold(std::string_view text, BoxIcon icon) {
  if (!text_.empty()) text_ += "\r\n\r\n";
  text_ += label_;
  text_ += text;
  // The box takes the gravest icon of what it holds.
  const auto rank = [](BoxIcon i) {
    return i == BoxIcon::Error ? 3 : i == BoxIcon::Warning ? 2 : i == BoxIcon::Information ? 1 : 0;
  };
  if (rank(icon) > rank(icon_)) icon_ = icon;
}

MessageWriter::ShowNotSupportedScope::ShowNotSupportedScope(MessageWriter& writer)
    : writer_(writer), previous_(writer.showNotSupported_) {
  writer_.showNotSupported_ = true;
}

MessageWriter::ShowNotSupportedScope::~ShowNotSupportedScope() { writer_.showNotSupported_ = previous_; }

}  // namespace tw
