// A double of the window facility for the tests: in-memory controls, a
// clipboard string, a queue of main-thread work that the test pumps, and the
// threads it started, so the test can join them.
//
// The test's own thread is the main thread. Every control operation checks
// that it runs there and counts the calls that do not (OffThreadCalls), so a
// worker that touches a control directly makes the test fail.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace fake {

using merravine::Text;
using platform::ControlId;

// Fresh controls with the design's initial texts, all enabled, no rows, no
// selection, an empty clipboard, an open work queue; this thread becomes the
// main thread. Joins threads left from before.
void Reset(const platform::WindowDesign& design);

Text ControlTextOf(ControlId id);
void SetText(ControlId id, const Text& text);
bool Enabled(ControlId id);
std::vector<std::pair<Text, Text>> Rows();  // column 0, column 1
void Select(int row);                       // -1: no selection

Text Clipboard();
int ClipboardWrites();
int PopupsShown();
int ThreadsStarted();
int OffThreadCalls();
// What the window reported in order: "notice:<caption>", "created", "shown".
std::vector<std::string> Log();
Text NoticeText();
const platform::WindowEvents& Events();

// Runs the work queued for the main thread; yields how many pieces ran.
int Pump();
// Pumps until done() holds or the time-out passes; yields done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));
// The end of the message loop: queued and later work is dropped.
void CloseQueue();
// Waits for every thread started through StartThread.
void JoinThreads();

}  // namespace fake
