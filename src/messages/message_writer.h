#pragma once
// Every text the program shows goes through here: message boxes, coloured console lines
// on the console that started the program, and the small log file of problems that kept
// messages from reaching that console.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace tw {

enum class MessageKind { Error = 0, Info = 1, InfoIcon = 2, Warning = 3 };

inline constexpr std::string_view kCaption = "Tunewright";
inline constexpr std::string_view kLogFileName = "Tunewright.log";

// Console text attributes.
inline constexpr uint16_t kAttributeNormal = 7;
inline constexpr uint16_t kAttributeInfo = 10;
inline constexpr uint16_t kAttributeError = 12;
inline constexpr uint16_t kAttributeWarning = 14;

// The text of a driver-library result code; empty for codes without one (and for -1).
std::string_view AdlErrorText(int32_t code);

class MessageWriter {
 public:
  // `ignoreError8` is the IgnoreError-8 setting, followed as it changes.
  MessageWriter(const bool& ignoreError8, Platform& platform);

  std::string ComposeErrorText(std::string_view text, int32_t code, bool codeIsSystemError);

  // A top-most error box; inside a ConsoleScope that sends messages to the console, an
  // "ERROR: " line instead.
  void ShowError(std::string_view text, int32_t code = 0, bool codeIsSystemError = false);

  // The writer of the command line and of every operation that can run from it: a console
  // line when `console` is set (or a ConsoleScope says so) and the parent's console can be
  // reached, a box otherwise.
  void ReportMessage(std::string_view text, bool console, int32_t code = 0,
                     MessageKind kind = MessageKind::Error, bool codeIsSystemError = false);

  bool AttachParentConsole();

  void WriteLogLine(std::string_view text, int32_t code, bool codeIsSystemError, bool plain);

  // True the first time it is asked about a topic in this run: for reports that would
  // otherwise repeat themselves (the same unreadable file met by several readers).
  bool FirstReport(std::string_view topic) { return reported_.emplace(topic).second; }

  // Forces a freshly written file onto the disk; failures go to the log.
  void FlushFileToDisk(const Path& path);

  // How many messages IgnoreError-8 has kept back so far. A caller that sums up several
  // steps counts a step whose failure was kept back as done.
  int hiddenNotSupported() const { return hiddenNotSupported_; }

  // Decides, for the length of one command-line argument, where every message goes,
  // including those of operations that only know the error box (device restart, the
  // driver connection, regulators, fan test, power features). The command line opens one
  // for each argument with the console setting of that argument's position, so that after
  // "-consoleonly" no box waits for a key in an unattended script. The window opens none
  // and keeps its boxes.
  class ConsoleScope {
   public:
    ConsoleScope(MessageWriter& writer, bool console);
    ~ConsoleScope();
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;

   private:
    MessageWriter& writer_;
    bool previous_;
  };

  // While alive, the writer's boxes are held and shown as one when it ends, each text after
  // the label in force when it came (the card it is about): an operation on several cards
  // then asks for one click, not one for each card and message. Console lines are not held.
  class GatherScope {
   public:
    explicit GatherScope(MessageWriter& writer);
    ~GatherScope();
    GatherScope(const GatherScope&) = delete;
    GatherScope& operator=(const GatherScope&) = delete;
    void Label(std::string label) { label_ = std::move(label); }

   private:
    friend class MessageWriter;
    void Hold(std::string_view text, BoxIcon icon);

    MessageWriter& writer_;
    GatherScope* previous_;
    std::string label_;
    std::string text_;
    BoxIcon icon_ = BoxIcon::None;
  };

  // While alive, driver code -8 is shown even with IgnoreError-8 on (the fan override
  // reports its failures that way).
  class ShowNotSupportedScope {
   public:
    explicit ShowNotSupportedScope(MessageWriter& writer);
    ~ShowNotSupportedScope();
    ShowNotSupportedScope(const ShowNotSupportedScope&) = delete;
    ShowNotSupportedScope& operator=(const ShowNotSupportedScope&) = delete;

   private:
    MessageWriter& writer_;
    bool previous_;
  };

 private:
  bool Suppressed(int32_t code, bool codeIsSystemError) const;
  void WriteConsoleLine(std::string_view text, int32_t code, MessageKind kind, bool codeIsSystemError);
  void ShowBox(std::string_view text, MessageKind kind, int32_t code, bool codeIsSystemError);
  void ShowErrorBox(std::string_view text, int32_t code, bool codeIsSystemError);

  const bool& ignoreError8_;
  Platform& platform_;
  bool attached_ = false;
  bool showNotSupported_ = false;
  int hiddenNotSupported_ = 0;
  std::set<std::string> reported_;
  bool consoleOnly_ = false;  // set by a ConsoleScope
  GatherScope* gathering_ = nullptr;
};

}  // namespace tw
