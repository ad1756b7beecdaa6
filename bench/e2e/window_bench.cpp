// Measurements of the window program that need a hook inside the process, in a
// harness of their own (the shipped program has no such hook). It builds the
// program's main window with the program's own design and handlers, leaving
// out only the startup notice, which would wait for a user.
//
//   merravine_bench_window startup
//       The time from launch to the main window being exposed on screen, in
//       ms. Launch time: MERRAVINE_BENCH_LAUNCH_NS (CLOCK_REALTIME ns, set by
//       the caller just before starting the harness).
//   merravine_bench_window rows COURSE_PAGE_ADDRESS
//       Presses the download button for the address and, while the rows
//       arrive, measures the gaps between turns of the main thread's event
//       loop (a zero-interval timer fires once per turn). Prints the longest
//       gap, the median gap, the rows added and the time the rows took.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/globals.h"
#include "app/main_window_design.h"
#include "app/program.h"
#include "course/fetch_course_list.h"
#include "platform/window.h"
#include "text/charset.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::ControlId;

long long RealtimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void CloseWindows() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) widget->close();
  }
}

// Reports the first exposure of a top-level window, then closes the window.
class ExposeWatch final : public QObject {
 public:
  explicit ExposeWatch(long long launchNs) : launchNs_(launchNs) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Expose) {
      const auto* window = qobject_cast<QWindow*>(watched);
      if (window != nullptr && window->isExposed()) {
        done_ = true;
        std::printf("startup_ms %.1f\n", static_cast<double>(RealtimeNs() - launchNs_) / 1e6);
        QTimer::singleShot(0, [] { CloseWindows(); });
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  long long launchNs_;
  bool done_ = false;
};

int Startup(int argc, char** argv) {
  const char* launch = std::getenv("MERRAVINE_BENCH_LAUNCH_NS");
  if (launch == nullptr) {
    std::fprintf(stderr, "MERRAVINE_BENCH_LAUNCH_NS is not set\n");
    return 2;
  }
  QApplication application(argc, argv);
  ExposeWatch watch(std::atoll(launch));
  application.installEventFilter(&watch);
  merravine::InitGlobals();
  platform::WindowEvents events = merravine::MainWindowEvents();
  events.created = nullptr;
  if (!platform::CreateMainWindow(merravine::MainWindowDesign(), std::move(events))) return 1;
  platform::RunMessageLoop();
  merravine::ReleaseGlobals();
  return 0;
}

int Rows(int argc, char** argv, const std::string& addressUtf8) {
  QApplication application(argc, argv);
  merravine::InitGlobals();
  platform::WindowEvents events = merravine::MainWindowEvents();
  events.created = nullptr;
  if (!platform::CreateMainWindow(merravine::MainWindowDesign(), std::move(events))) return 1;

  std::vector<double> gapsMs;
  Clock::time_point lastTurn{};
  Clock::time_point firstRow{};
  Clock::time_point lastRow{};
  int rowsSeen = 0;
  bool started = false;

  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    const int rows = merravine::g_courseTitles ? merravine::g_courseTitles->Count() : 0;
    if (rows > 0 && rowsSeen == 0) firstRow = now;
    if (rows > rowsSeen) lastRow = now;
    // Gaps count from the turn that saw the first row until the retrieval ends.
    if (rowsSeen > 0)
      gapsMs.push_back(std::chrono::duration<double, std::milli>(now - lastTurn).count());
    rowsSeen = rows;
    lastTurn = now;
    if (started && platform::ControlEnabled(ControlId::按钮1)) {
      turns.stop();
      CloseWindows();
    }
  });
  QTimer::singleShot(0, [&] {
    platform::SetControlText(ControlId::编辑框1,
                             merravine::Utf8ToGbk(merravine::Text(addressUtf8)));
    merravine::OnDownloadClick();
    started = true;
    lastTurn = Clock::now();
    turns.start();
  });
  platform::RunMessageLoop();

  std::sort(gapsMs.begin(), gapsMs.end());
  const double longest = gapsMs.empty() ? 0.0 : gapsMs.back();
  const double median = gapsMs.empty() ? 0.0 : gapsMs[gapsMs.size() / 2];
  std::printf("rows %d\nlongest_gap_ms %.2f\nmedian_gap_ms %.3f\nturns %zu\nrows_ms %.0f\n",
              rowsSeen, longest, median, gapsMs.size(),
              std::chrono::duration<double, std::milli>(lastRow - firstRow).count());
  merravine::ReleaseGlobals();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "startup" && argc == 2) return Startup(argc, argv);
  if (mode == "rows" && argc == 3) return Rows(argc, argv, argv[2]);
  std::fprintf(stderr, "usage: %s startup | rows COURSE_PAGE_ADDRESS\n", argv[0]);
  return 2;
}
