// The Qt window backend, offscreen, with the program's window design and
// events of the test's own: the notice, the window's geometry and looks, the
// control operations, the pop-up menu, the clipboard and the hand-over of work
// to the main thread.
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/main_window_design.h"
#include "app/program.h"
#include "platform/posix/window_qt.h"
#include "platform/window.h"
#include "qt_test_support.h"

namespace merravine::testing {
namespace {

using platform::ControlId;

QWidget& Window() {
  return *platform::qt::MainWidget();
}
QTableWidget& List() {
  return dynamic_cast<QTableWidget&>(ControlWidget(ControlId::超级列表框1));
}

class QtWindowTest : public ::testing::Test {
 protected:
  // The window with the given events; without a created event there is no
  // notice to dismiss.
  void Open(platform::WindowEvents events = {}) {
    ASSERT_TRUE(platform::CreateMainWindow(MainWindowDesign(), std::move(events)));
  }

  void TearDown() override {
    if (platform::qt::MainWidget() != nullptr) {
      Window().close();
      platform::RunMessageLoop();
    }
  }
};

// ---------------------------------------------------------------------------
// The notice

struct Dismissal {
  const char* name;
  std::function<void(QMessageBox&)> dismiss;
};

TEST_F(QtWindowTest, NoticeShowsAloneBeforeTheWindowAndOkReturnEscAndCloseDismissIt) {
  const std::vector<Dismissal> dismissals = {
      {"OK", [](QMessageBox& box) { QTest::mouseClick(box.buttons().at(0), Qt::LeftButton); }},
      {"Return", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }},
      {"Esc", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
      {"close button", [](QMessageBox& box) { box.close(); }},
  };
  for (const Dismissal& dismissal : dismissals) {
    SCOPED_TRACE(dismissal.name);
    bool seen = false;
    WhenNoticeOpens([&](QMessageBox& box) {
      seen = true;
      EXPECT_EQ(box.windowTitle(), "Tovrela");
      EXPECT_TRUE(box.text().startsWith(QString::fromUtf8("在“课程地址”框中粘贴")));
      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
      EXPECT_EQ(box.buttons().size(), 1);
      EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
      EXPECT_EQ(box.parentWidget(), nullptr);
      EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
      // The main window exists with its controls, but is not shown yet.
      ASSERT_NE(platform::qt::MainWidget(), nullptr);
      EXPECT_FALSE(Window().isVisible());
      EXPECT_EQ(QApplication::topLevelWidgets().count(&box), 1);
      dismissal.dismiss(box);
    });
    platform::WindowEvents events;
    events.created = ShowStartupNotice;
    Open(events);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    TearDown();
  }
}

// ---------------------------------------------------------------------------
// The window as designed

TEST_F(QtWindowTest, WindowIsFixedCentredAndCaptioned) {
  Open();
  QWidget& window = Window();
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Merravine    Tovrela  By：quillon2090"));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the size is fixed";
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::MSWindowsFixedSizeDialogHint);

  // Frame and client add up to 535 x 446 where the platform draws a frame;
  // without one (offscreen) the client keeps what a Windows frame leaves.
  const QMargins frame = window.windowHandle()->frameMargins();
  const QSize client = window.size();
  if (frame.isNull()) {
    EXPECT_EQ(client, QSize(535 - 6, 446 - 25));
  } else {
    EXPECT_EQ(client.grownBy(frame), QSize(535, 446));
  }
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(screen.x() + (screen.width() - 535) / 2,
                                                     screen.y() + (screen.height() - 446) / 2));
}

struct Placement {
  ControlId id;
  const char* name;
  QRect geometry;
  bool visible;
  const char* text;  // nullptr: not checked here
};

TEST_F(QtWindowTest, ControlsSitWhereTheDesignPutsThem) {
  Open();
  const std::vector<Placement> placements = {
      {ControlId::标签1, "标签1", {4, 8, 64, 24}, true, "课程地址："},
      {ControlId::编辑框1, "编辑框1", {64, 8, 392, 24}, true, nullptr},
      {ControlId::按钮1, "按钮1", {464, 8, 56, 24}, true, "下载"},
      {ControlId::超级列表框1, "超级列表框1", {-1, 40, 528, 304}, true, nullptr},
      {ControlId::编辑框2, "编辑框2", {112, 248, 120, 48}, false, ""},
      {ControlId::编辑框3, "编辑框3", {312, 248, 144, 56}, false, ""},
      {ControlId::标签2, "标签2", {25, 352, 480, 32}, true, ""},
  };
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.name);
    QWidget& control = ControlWidget(p.id);
    EXPECT_EQ(control.geometry(), p.geometry);
    EXPECT_EQ(control.isVisible(), p.visible);
    EXPECT_TRUE(control.isEnabled());
    if (p.text != nullptr) {
      EXPECT_EQ(ControlString(p.id), QString::fromUtf8(p.text));
    }
  }
  EXPECT_TRUE(ControlString(ControlId::编辑框1).startsWith("http://"));
  EXPECT_TRUE(ControlString(ControlId::编辑框1).endsWith("/play_400004169_19743.shtml"));
  EXPECT_EQ(ControlWidget(ControlId::标签1).focusPolicy() & Qt::TabFocus, 0);
  EXPECT_NE(ControlWidget(ControlId::编辑框1).focusPolicy() & Qt::TabFocus, 0);

  auto& counter = dynamic_cast<QLabel&>(ControlWidget(ControlId::标签2));
  EXPECT_EQ(counter.palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(counter.font().pixelSize(), 24);
  EXPECT_EQ(counter.font().weight(), QFont::Normal);
  EXPECT_EQ(counter.alignment(), Qt::AlignCenter);
  auto& caption = dynamic_cast<QLabel&>(ControlWidget(ControlId::标签1));
  EXPECT_EQ(caption.alignment(), Qt::AlignLeft | Qt::AlignVCenter);
}

TEST_F(QtWindowTest, ListHasTwoColumnsGridLinesAndSingleRowSelection) {
  Open();
  QTableWidget& list = List();
  ASSERT_EQ(list.columnCount(), 2);
  EXPECT_EQ(list.rowCount(), 0);
  EXPECT_EQ(list.horizontalHeaderItem(0)->text(), QString::fromUtf8("课程名称"));
  EXPECT_EQ(list.horizontalHeaderItem(1)->text(), QString::fromUtf8("课程地址"));
  EXPECT_EQ(list.columnWidth(0), 500);
  EXPECT_EQ(list.columnWidth(1), 50);
  EXPECT_TRUE(list.showGrid());
  EXPECT_TRUE(list.horizontalHeader()->isVisible());
  EXPECT_FALSE(list.verticalHeader()->isVisible());
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(list.isSortingEnabled());
}

TEST_F(QtWindowTest, DraggingTheHeaderDividerWidensAColumnAndAHeaderClickChangesNothing) {
  Open();
  QTableWidget& list = List();
  for (int row = 0; row < 3; ++row) {
    platform::ListInsertRow(ControlId::超级列表框1);
    platform::ListSetCell(ControlId::超级列表框1, row, 0, Text::Result(std::to_string(3 - row)));
  }
  QHeaderView& header = *list.horizontalHeader();
  QWidget* handle = header.viewport();
  const int y = header.height() / 2;
  // The divider between the columns lies at x = 500 (scrolled to the left).
  QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(499, y));
  QTest::mouseMove(handle, QPoint(450, y));
  QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(450, y));
  EXPECT_EQ(list.columnWidth(0), 451);
  EXPECT_EQ(list.columnWidth(1), 50);

  QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(100, y));
  QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, QPoint(470, y));
  EXPECT_EQ(platform::SelectedRow(ControlId::超级列表框1), -1);
  EXPECT_EQ(list.item(0, 0)->text(), "3") << "rows are never sorted";
  EXPECT_EQ(list.item(2, 0)->text(), "1");
}

// ---------------------------------------------------------------------------
// Control operations

TEST_F(QtWindowTest, ControlOperationsKeepEveryByteOfTheText) {
  Open();
  platform::SetControlText(ControlId::标签2, Gbk("第12课"));
  EXPECT_EQ(dynamic_cast<QLabel&>(ControlWidget(ControlId::标签2)).text(),
            QString::fromUtf8("第12课"));
  EXPECT_EQ(platform::ControlText(ControlId::标签2), Gbk("第12课"));

  // The accumulator boxes keep CR LF and only grow.
  platform::AppendToBox(ControlId::编辑框2, Gbk("第一课 认识汉字\r\n"));
  platform::AppendToBox(ControlId::编辑框2, Gbk("B\r\n"));
  EXPECT_EQ(platform::BoxText(ControlId::编辑框2), Gbk("第一课 认识汉字\r\nB\r\n"));
  EXPECT_EQ(platform::BoxText(ControlId::编辑框3), Text());
  // No length limit: far beyond a line edit's default of 32767 characters.
  const Text piece = Text::Result(std::string(1000, 'x') + "\r\n");
  for (int i = 0; i < 40; ++i) platform::AppendToBox(ControlId::编辑框3, piece);
  EXPECT_EQ(platform::BoxText(ControlId::编辑框3).Length(), 40 * 1002);

  EXPECT_EQ(platform::SelectedRow(ControlId::超级列表框1), -1);
  EXPECT_EQ(platform::ListInsertRow(ControlId::超级列表框1), 0);
  EXPECT_EQ(platform::ListInsertRow(ControlId::超级列表框1), 1);
  platform::ListSetCell(ControlId::超级列表框1, 1, 0, Gbk("第二课 拼音基础"));
  platform::ListSetCell(ControlId::超级列表框1, 1, 1, Text("http://h/v.mp4"));
  platform::ListSetCell(ControlId::超级列表框1, 5, 0, Text("no such row"));  // ignored
  EXPECT_EQ(List().item(1, 0)->text(), QString::fromUtf8("第二课 拼音基础"));
  EXPECT_EQ(List().item(1, 1)->text(), "http://h/v.mp4");
  EXPECT_EQ(List().rowCount(), 2);

  // A click selects the whole row; only one row at a time.
  const QRect second = List().visualRect(List().model()->index(1, 1));
  QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  EXPECT_EQ(platform::SelectedRow(ControlId::超级列表框1), 1);
  EXPECT_EQ(List().selectionModel()->selectedIndexes().size(), 2);
  const QRect first = List().visualRect(List().model()->index(0, 0));
  QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
  EXPECT_EQ(List().selectionModel()->selectedRows().size(), 1);

  platform::SetControlEnabled(ControlId::按钮1, false);
  EXPECT_FALSE(platform::ControlEnabled(ControlId::按钮1));
  platform::SetControlEnabled(ControlId::按钮1, true);
  EXPECT_TRUE(platform::ControlEnabled(ControlId::按钮1));
}

// ---------------------------------------------------------------------------
// The pop-up menu

struct MenuCase {
  const char* name;
  int index;               // item to choose, -1: dismiss
  Qt::MouseButton button;  // the button that chooses
  int expectedCommand;     // 0: none
};

TEST_F(QtWindowTest, PopupOffersTheFourItemsBesideTheCursorAndRunsTheChoiceAfterItCloses) {
  bool insidePopup = false;
  std::vector<std::pair<int, bool>> chosen;  // command, whether the popup call was still running
  platform::WindowEvents events;
  events.rightClicked = [&](ControlId id) {
    EXPECT_EQ(id, ControlId::超级列表框1);
    insidePopup = true;
    platform::ShowPopupMenu();
    insidePopup = false;
  };
  events.menuChosen = [&](int command) { chosen.emplace_back(command, insidePopup); };
  Open(events);

  const std::vector<MenuCase> cases = {
      {"left button, item 1", 0, Qt::LeftButton, kCopySelectedTitle},
      {"right button, item 3", 2, Qt::RightButton, kCopySelectedAddress},
      {"left button, item 4", 3, Qt::LeftButton, kCopyAllAddresses},
      {"dismissed", -1, Qt::LeftButton, 0},
  };
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(c.name);
    chosen.clear();
    QCursor::setPos(300, 200);
    PopupSeen seen;
    WhenPopupOpens([&](QMenu& menu) { ChooseFromPopup(menu, c.index, seen, c.button); });
    // In an empty list, beside any row.
    RightClickList(List(), QPoint(200, 150));
    WaitFor([&] { return !chosen.empty(); }, c.expectedCommand == 0 ? 200 : 5000);

    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.items,
              QStringList({QString::fromUtf8("复制选中课程"), QString::fromUtf8("复制全部课程"),
                           QString::fromUtf8("复制选中地址"), QString::fromUtf8("复制全部地址")}));
    EXPECT_EQ(seen.topLeft, QPoint(303, 203));
    if (c.expectedCommand == 0) {
      EXPECT_TRUE(chosen.empty());
    } else {
      ASSERT_EQ(chosen.size(), 1u);
      EXPECT_EQ(chosen[0].first, c.expectedCommand);
      EXPECT_FALSE(chosen[0].second) << "the command runs after the pop-up call has returned";
    }
  }
}

TEST_F(QtWindowTest, ARightClickOnTheHeaderPopsNothingUp) {
  int rightClicks = 0;
  platform::WindowEvents events;
  events.rightClicked = [&](ControlId) { ++rightClicks; };
  Open(events);
  QWidget* header = List().horizontalHeader()->viewport();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 5),
                          header->mapToGlobal(QPoint(20, 5)));
  QApplication::sendEvent(header, &event);
  EXPECT_EQ(rightClicks, 0);
  RightClickList(List(), QPoint(20, 60));
  EXPECT_GE(rightClicks, 1);
}

// ---------------------------------------------------------------------------
// The clipboard

TEST_F(QtWindowTest, ClipboardGetsTheTextAsUnicodeAndAsItsGbkBytes) {
  Open();
  const Text text = Gbk("第一课 认识汉字\r\n第二课\r\n");
  ASSERT_TRUE(platform::SetClipboardText(text));
  const QClipboard& clipboard = *QGuiApplication::clipboard();
  EXPECT_EQ(clipboard.text(), QString::fromUtf8("第一课 认识汉字\r\n第二课\r\n"));
  EXPECT_EQ(clipboard.mimeData()->data("text/plain;charset=GBK").toStdString(), text.Str());

  ASSERT_TRUE(platform::SetClipboardText(Text()));
  EXPECT_TRUE(clipboard.mimeData()->hasText());
  EXPECT_EQ(clipboard.text(), QString());
}

// ---------------------------------------------------------------------------
// Work on the main thread, and the end of the loop

TEST_F(QtWindowTest, WorkFromOtherThreadsRunsOnTheMainThreadInOrder) {
  Open();
  const std::thread::id mainThread = std::this_thread::get_id();
  std::vector<int> order;
  bool allOnMain = true;
  std::atomic<bool> posted{false};
  ASSERT_TRUE(platform::StartThread([&] {
    for (int i = 0; i < 200; ++i) {
      platform::RunOnMainThread([&, i] {
        allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
        order.push_back(i);
      });
    }
    posted = true;
  }));
  ASSERT_TRUE(WaitFor([&] { return posted && order.size() == 200; }));
  for (int i = 0; i < 200; ++i) ASSERT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_TRUE(allOnMain);
}

// Counts how often it ran and whether its copy was released.
struct Probe {
  std::shared_ptr<int> runs = std::make_shared<int>(0);
  std::function<void()> Work() const {
    return [runs = runs] { ++*runs; };
  }
  bool Released() const { return runs.use_count() == 1; }
};

TEST_F(QtWindowTest, ClosingRunsClosedOnceEndsTheLoopAndDropsQueuedAndLaterWork) {
  int closed = 0;
  platform::WindowEvents events;
  events.closed = [&] { ++closed; };
  Open(events);

  Probe queuedBeforeEnd;
  Probe queuedAfterEnd;
  QTimer::singleShot(0, [&] {
    Window().close();
    platform::RunOnMainThread(queuedBeforeEnd.Work());  // the loop is ending: never runs
  });
  platform::RunMessageLoop();
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(platform::qt::MainWidget(), nullptr);

  platform::RunOnMainThread(queuedAfterEnd.Work());
  QTest::qWait(50);
  EXPECT_EQ(*queuedBeforeEnd.runs, 0);
  EXPECT_EQ(*queuedAfterEnd.runs, 0);
  EXPECT_TRUE(queuedBeforeEnd.Released());
  EXPECT_TRUE(queuedAfterEnd.Released());
  // The control operations find no window and do nothing.
  EXPECT_EQ(platform::ListInsertRow(ControlId::超级列表框1), -1);
  EXPECT_EQ(platform::ControlText(ControlId::编辑框1), Text());
}

TEST_F(QtWindowTest, WorkersHandingOverWorkWhileTheWindowClosesNeverCrash) {
  Open();
  std::atomic<bool> stop{false};
  std::atomic<int> ran{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 2; ++w) {
    workers.emplace_back([&] {
      while (!stop) platform::RunOnMainThread([&] { ++ran; });
    });
  }
  QTimer::singleShot(30, [] { Window().close(); });
  platform::RunMessageLoop();
  const int ranAtEnd = ran;
  QTest::qWait(30);
  stop = true;
  for (std::thread& worker : workers) worker.join();
  EXPECT_GT(ranAtEnd, 0);
  EXPECT_EQ(ran, ranAtEnd) << "nothing runs once the loop has ended";
}

}  // namespace
}  // namespace merravine::testing
