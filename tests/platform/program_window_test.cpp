// The program's window on Qt, offscreen, with the program's own handlers,
// against the sample course service (MERRAVINE_SERVICE_HOST, set by the
// launcher): start-up, the download button, the pop-up menu's copy commands,
// and closing the window while a retrieval runs.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/globals.h"
#include "app/main_window_design.h"
#include "app/program.h"
#include "platform/posix/window_qt.h"
#include "platform/window.h"
#include "qt_test_support.h"

namespace merravine::testing {
namespace {

using platform::ControlId;

QTableWidget& List() {
  return dynamic_cast<QTableWidget&>(ControlWidget(ControlId::超级列表框1));
}
QPushButton& DownloadButton() {
  return dynamic_cast<QPushButton&>(ControlWidget(ControlId::按钮1));
}

QString ServiceHost() {
  return qEnvironmentVariable("MERRAVINE_SERVICE_HOST");
}

QString CourseAddress(const char* id) {
  return QStringLiteral("http://%1/play_%2.shtml").arg(ServiceHost(), QString::fromUtf8(id));
}

QString VideoAddress(const char* id, int n) {
  return QStringLiteral("http://%1/video/%2/%3.mp4")
      .arg(ServiceHost(), QString::fromUtf8(id))
      .arg(n);
}

QString Cell(int row, int column) {
  const QTableWidgetItem* item = List().item(row, column);
  return item == nullptr ? QString() : item->text();
}

class ProgramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ServiceHost().isEmpty()) << "run through scripts/with-sample-service.sh";
    InitGlobals();
    WhenNoticeOpens([](QMessageBox& box) { box.accept(); });
    ASSERT_TRUE(platform::CreateMainWindow(MainWindowDesign(), MainWindowEvents()));
  }

  void TearDown() override {
    if (platform::qt::MainWidget() != nullptr) {
      platform::qt::MainWidget()->close();
      platform::RunMessageLoop();
    }
    ReleaseGlobals();
  }

  // Types the address, presses "下载" and waits until the retrieval has ended
  // (the button is enabled again) with `rows` rows in the list.
  void Download(const QString& address, int rows) {
    platform::SetControlText(ControlId::编辑框1, platform::qt::FromQString(address));
    QTest::mouseClick(&DownloadButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return DownloadButton().isEnabled() && List().rowCount() == rows; }))
        << List().rowCount() << " rows";
  }

  // Right-clicks row `row` of the list, chooses menu item `index` and waits
  // until the clipboard holds something new.
  QString CopyWith(int row, int index, PopupSeen& seen) {
    QGuiApplication::clipboard()->setText(QStringLiteral("(before)"));
    WhenPopupOpens([&](QMenu& menu) { ChooseFromPopup(menu, index, seen); });
    RightClickList(List(), List().visualRect(List().model()->index(row, 0)).center());
    WaitFor([] { return QGuiApplication::clipboard()->text() != QStringLiteral("(before)"); },
            5000);
    return QGuiApplication::clipboard()->text();
  }
};

const char* const kDefaultCourseTitles[] = {
    "课程介绍与学习方法", "开发环境的安装与配置", "变量、数据类型与运算符", "条件语句和循环语句",
    "函数的定义与调用",   "列表、字典与集合",     "文件读写与异常处理",     "综合练习：通讯录程序",
};

TEST_F(ProgramWindowTest, DownloadOnTheDefaultAddressListsTheCourseAndCountsTheLessons) {
  EXPECT_EQ(ControlString(ControlId::编辑框1), CourseAddress("400004169_19743"));
  Download(ControlString(ControlId::编辑框1), 8);
  for (int row = 0; row < 8; ++row) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(Cell(row, 0).endsWith(QString::fromUtf8(kDefaultCourseTitles[row])))
        << Cell(row, 0).toStdString();
    EXPECT_EQ(Cell(row, 1), VideoAddress("400004169_19743", row + 1));
  }
  EXPECT_EQ(ControlString(ControlId::标签2), QString::fromUtf8("第8课"));
  EXPECT_EQ(g_courseTitles->Count(), 8);
  EXPECT_EQ(g_courseUrls->Count(), 8);

  // The picture of the filled window for the documentation.
  const std::filesystem::path artifacts = MERRAVINE_ARTIFACTS_DIR;
  std::filesystem::create_directories(artifacts);
  const QString shot = QString::fromStdString((artifacts / "merravine-qt.png").string());
  EXPECT_TRUE(platform::qt::MainWidget()->grab().save(shot));

  // A second press appends after the first rows; the counter starts again.
  Download(ControlString(ControlId::编辑框1), 16);
  EXPECT_EQ(Cell(8, 0), Cell(0, 0));
  EXPECT_EQ(Cell(15, 1), VideoAddress("400004169_19743", 8));
  EXPECT_EQ(ControlString(ControlId::标签2), QString::fromUtf8("第8课"));
}

TEST_F(ProgramWindowTest, TheButtonIsDisabledWhileARetrievalRuns) {
  platform::SetControlText(ControlId::编辑框1,
                           platform::qt::FromQString(CourseAddress("slow_3_300")));
  QTest::mouseClick(&DownloadButton(), Qt::LeftButton);
  EXPECT_FALSE(DownloadButton().isEnabled());
  ASSERT_TRUE(WaitFor([] { return List().rowCount() >= 1; }));
  EXPECT_FALSE(DownloadButton().isEnabled()) << "still running after the first lesson";
  QTest::mouseClick(&DownloadButton(), Qt::LeftButton);  // disabled: starts nothing
  ASSERT_TRUE(WaitFor([] { return DownloadButton().isEnabled(); }));
  QTest::qWait(800);  // time enough for a second retrieval's first lesson
  EXPECT_EQ(List().rowCount(), 3);
  EXPECT_EQ(ControlString(ControlId::标签2), QString::fromUtf8("第3课"));
}

TEST_F(ProgramWindowTest, EachCopyCommandLeavesItsTextOnTheClipboard) {
  Download(CourseAddress("three"), 3);
  // A right click on the second row selects it, as a left click would.

  const QString titles =
      QString::fromUtf8("第一课 认识汉字\r\n第二课 拼音基础\r\n第三课 笔画与笔顺\r\n");
  QString addresses;
  for (int n = 1; n <= 3; ++n) addresses += VideoAddress("three", n) + "\r\n";
  struct Copy {
    const char* item;
    int index;
    QString expected;
  };
  const std::vector<Copy> copies = {
      {"复制选中课程", 0, QString::fromUtf8("第二课 拼音基础")},
      {"复制选中地址", 2, VideoAddress("three", 2)},
      {"复制全部课程", 1, titles},
      {"复制全部课程 again: the box starts empty each time", 1, titles},
      {"复制全部地址: a box of its own", 3, addresses},
  };
  for (const Copy& copy : copies) {
    SCOPED_TRACE(copy.item);
    PopupSeen seen;
    EXPECT_EQ(CopyWith(1, copy.index, seen), copy.expected);
    EXPECT_EQ(seen.items.size(), 4);
    EXPECT_EQ(platform::SelectedRow(ControlId::超级列表框1), 1);
  }
}

TEST_F(ProgramWindowTest, TheMenuOffersItsFourItemsInAnEmptyListToo) {
  PopupSeen seen;
  WhenPopupOpens([&](QMenu& menu) { ChooseFromPopup(menu, -1, seen); });
  RightClickList(List(), QPoint(100, 100));
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.items,
            QStringList({QString::fromUtf8("复制选中课程"), QString::fromUtf8("复制全部课程"),
                         QString::fromUtf8("复制选中地址"), QString::fromUtf8("复制全部地址")}));
  // Copy-all over the empty list puts an empty text on the clipboard.
  PopupSeen again;
  QGuiApplication::clipboard()->setText(QStringLiteral("(before)"));
  WhenPopupOpens([&](QMenu& menu) { ChooseFromPopup(menu, 1, again); });
  RightClickList(List(), QPoint(100, 100));
  ASSERT_TRUE(WaitFor([] { return QGuiApplication::clipboard()->text().isEmpty(); }, 5000));
}

TEST_F(ProgramWindowTest, ClosingTheWindowDuringARetrievalEndsCleanly) {
  platform::SetControlText(ControlId::编辑框1,
                           platform::qt::FromQString(CourseAddress("slow_20_200")));
  QTest::mouseClick(&DownloadButton(), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([] { return List().rowCount() >= 1; }));
  QTimer::singleShot(0, [] { platform::qt::MainWidget()->close(); });
  platform::RunMessageLoop();  // returns without waiting for the worker
  EXPECT_EQ(platform::qt::MainWidget(), nullptr);
  EXPECT_LT(g_courseTitles->Count(), 20);
  ReleaseGlobals();
  // The worker is still inside a lesson request; whatever it hands over now
  // is dropped, and it must not touch the released state.
  QTest::qWait(1000);
  EXPECT_EQ(g_courseTitles, nullptr);
}

TEST_F(ProgramWindowTest, RunProgramShowsTheNoticeFirstAndReturnsWhenTheWindowCloses) {
  // The fixture's window is not the one under test here.
  TearDown();
  bool windowHiddenDuringNotice = false;
  std::function<void()> closeWhenShown = [&closeWhenShown] {
    QWidget* window = platform::qt::MainWidget();
    if (window == nullptr) return;
    if (window->isVisible()) {
      window->close();
    } else {
      QTimer::singleShot(50, closeWhenShown);
    }
  };
  WhenNoticeOpens([&](QMessageBox& box) {
    const QWidget* window = platform::qt::MainWidget();
    windowHiddenDuringNotice = window != nullptr && !window->isVisible();
    QTest::keyClick(&box, Qt::Key_Return);
    // Once the window shows, close it; on a loaded machine it may take longer
    // than one tick to appear, so look again until it has.
    QTimer::singleShot(50, closeWhenShown);
  });
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_TRUE(windowHiddenDuringNotice);
  EXPECT_EQ(platform::qt::MainWidget(), nullptr);
}

}  // namespace
}  // namespace merravine::testing
