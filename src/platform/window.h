// The window facility: what the program asks of the window system.
//
// One main window built from a design (src/app/main_window_design.cpp), the
// control operations that the course listing uses, the events that run the
// program's handlers, a task-modal message box, the clipboard, running work on
// the main thread and starting a thread.
//
// Implementations: win32/window_*.cpp (user32/comctl32), posix/window_*.cpp
// (Qt Widgets). Tests link a double of their own in place of either
// (tests/course/fake_window.cpp).
//
// Every operation on controls runs on the main thread, except RunOnMainThread
// and StartThread, which any thread may call.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace platform {

using merravine::Text;

// The controls of the main window, by their design names.
enum class ControlId { 标签1, 编辑框1, 按钮1, 超级列表框1, 编辑框2, 编辑框3, 标签2 };

enum class ControlKind { Label, EditBox, PushButton, ListView };

struct ColumnDesign {
  Text caption;
  int width = 0;  // pixels
};

struct ControlDesign {
  ControlId id{};
  ControlKind kind{};
  int left = 0, top = 0, width = 0, height = 0;  // pixels, client coordinates
  bool visible = true;
  bool tabStop = false;
  Text text;  // initial text or caption
  // Label look: colour as 0xRRGGBB, centred or left-aligned, and a font height
  // in pixels (0: the default GUI font); gb2312 asks for that character set.
  std::uint32_t textColor = 0x000000;
  bool centred = false;
  int fontHeight = 0;
  bool gb2312 = false;
  // Edit box whose text must keep every CR and LF appended to it (the hidden
  // accumulator boxes); its look is free, so a multi-line edit will do.
  bool multiline = false;
  std::vector<ColumnDesign> columns;  // list view only
};

struct MenuItemDesign {
  Text text;
  int command = 0;  // passed to WindowEvents::menuChosen
};

struct WindowDesign {
  Text caption;
  int outerWidth = 0, outerHeight = 0;  // frame and caption bar included
  std::vector<ControlDesign> controls;
  Text menuCaption;  // the hidden top-level menu
  std::vector<MenuItemDesign> menu;
};

struct WindowEvents {
  std::function<void()> created;                // window and controls exist, hidden
  std::function<void(ControlId)> clicked;       // a push button
  std::function<void(ControlId)> rightClicked;  // the list view
  std::function<void(int command)> menuChosen;  // an item of the pop-up menu
  std::function<void()> closed;                 // the window is being destroyed
};

// Creates the window hidden with its controls, shows the visible controls,
// runs events.created, then shows the window centred on the primary screen.
// False when the window could not be created.
bool CreateMainWindow(const WindowDesign& design, WindowEvents events);
// Runs the message loop until the main window is gone.
void RunMessageLoop();

// Control operations (main thread).
Text ControlText(ControlId id);
void SetControlText(ControlId id, const Text& text);
void SetControlEnabled(ControlId id, bool enabled);
bool ControlEnabled(ControlId id);
int ListInsertRow(ControlId list);  // appends an empty row, yields its index from 0
void ListSetCell(ControlId list, int row, int column, const Text& text);
int SelectedRow(ControlId list);  // first selected row, -1 when none
void AppendToBox(ControlId box, const Text& text);
Text BoxText(ControlId box);
void ClearBox(ControlId box);
// Pops up the design's menu 3 pixels right of and below the mouse cursor and
// returns when it has closed; a chosen item arrives as events.menuChosen.
void ShowPopupMenu();

// A task-modal message box with one OK button, no icon and no owner.
void ShowNotice(const Text& text, const Text& caption);

// Puts the text on the clipboard as code page 936 plain text and as Unicode
// text. False when the clipboard could not be opened or filled.
bool SetClipboardText(const Text& text);

// Queues work to run on the main thread and returns at once. Work queued after
// the message loop has ended is dropped, never run.
void RunOnMainThread(std::function<void()> work);

// Starts a detached thread running work. False when it could not be started.
bool StartThread(std::function<void()> work);

// --- Command-line mode: arguments and standard streams ---------------------------
// Not window operations, but the Windows side lives with the window backend
// (win32/window_console.cpp) because a GUI-subsystem program has to find its
// console itself. The POSIX side is plain POSIX (posix/window_console.cpp) and
// is linked into the program directly, never through the Qt module.

// The program's arguments after the program name, as UTF-8 (Windows reads the
// wide command line, so no ANSI code page gets in the way).
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Windows: when standard output or standard error is not redirected and the
// program was started from a console, attaches to that console. Elsewhere: nothing.
void ConnectStandardStreams();
// Writes UTF-8 bytes to standard output (1) or standard error (2): unchanged to a
// file or pipe, and as characters to a console.
void WriteStandardStream(int stream, std::string_view utf8);
// Whether standard error (2) or output (1) is an interactive terminal/console.
bool StandardStreamIsTerminal(int stream);

}  // namespace platform
