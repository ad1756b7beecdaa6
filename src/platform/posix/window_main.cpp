// The main window: made hidden from the design, its controls placed in client
// coordinates, the created event run, then shown fixed-size and centred. The
// message loop runs until the window is closed.
#include <array>
#include <limits>
#include <memory>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/posix/window_list.h"
#include "platform/posix/window_qt.h"

namespace platform {

namespace qt {

namespace {

// The frame that Windows (with its classic metrics, as Wine draws it) puts
// around a fixed-frame window with a caption bar: 3 pixels each side and a
// 19-pixel caption. Where the platform draws no frame of its own (offscreen,
// an X server without a window manager), the client area keeps the size this
// frame leaves of the outer size, so the controls sit exactly as on Windows.
constexpr QMargins kWindowsFrame{3, 22, 3, 3};

class MainWindowWidget final : public QWidget {
 public:
  MainWindowWidget(QSize outer, std::function<void()> onClose)
      : outer_(outer), onClose_(std::move(onClose)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    FitClient(kWindowsFrame);
  }

  // Moves the frame's top-left corner so that the outer rectangle is centred
  // on the whole primary screen.
  void Centre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - outer_.width()) / 2,
         area.y() + (area.height() - outer_.height()) / 2);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    if (onClose_) onClose_();
  }

  // A window manager tells the frame only once the window is mapped; when it
  // differs from the one assumed, the client area is fitted again so that
  // frame and client add up to the design's outer size.
  bool event(QEvent* event) override {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::Move ||
        event->type() == QEvent::Resize) {
      const QWindow* handle = windowHandle();
      if (handle != nullptr) {
        const QMargins frame = handle->frameMargins();
        if (!frame.isNull() && frame != applied_) {
          FitClient(frame);
          Centre();
        }
      }
    }
    return handled;
  }

 private:
  void FitClient(QMargins frame) {
    applied_ = frame;
    setFixedSize(outer_.width() - frame.left() - frame.right(),
                 outer_.height() - frame.top() - frame.bottom());
  }

  QSize outer_;
  std::function<void()> onClose_;
  QMargins applied_;
};

constexpr std::size_t kControlCount = 7;

struct WindowState {
  WindowDesign design;
  WindowEvents events;
  std::unique_ptr<MainWindowWidget> window;
  std::array<QWidget*, kControlCount> controls{};  // owned by the window
  bool closed = false;                             // the closed event has run
  QEventLoop* loop = nullptr;                      // RunMessageLoop's, while it runs
};

std::unique_ptr<WindowState> g_window;

std::size_t IndexOf(ControlId id) {
  return static_cast<std::size_t>(id);
}

// Runs the closed event once, whichever way the window goes, and ends the
// message loop.
void WindowClosed() {
  if (!g_window || g_window->closed) return;
  g_window->closed = true;
  if (g_window->events.closed) g_window->events.closed();
  if (g_window && g_window->loop != nullptr) g_window->loop->exit(0);
}

void ApplyTextColour(QWidget* widget, std::uint32_t rgb) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor::fromRgb(static_cast<QRgb>(rgb)));
  widget->setPalette(palette);
}

QWidget* MakeLabel(const ControlDesign& design, QWidget* parent) {
  auto* label = MakeChild<QLabel>(ToQString(design.text), parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(design.centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
  ApplyTextColour(label, design.textColor);
  if (design.fontHeight > 0) {
    // Qt picks a face with the Chinese characters by itself, so the character
    // set needs no setting of its own.
    QFont font = label->font();
    font.setPixelSize(design.fontHeight);
    font.setWeight(QFont::Normal);
    label->setFont(font);
  }
  return label;
}

// Every edit box is a QLineEdit, the hidden accumulator boxes included: its
// text keeps CR and LF as they are, where a multi-line editor would turn
// CR LF into a paragraph break.
QWidget* MakeEditBox(const ControlDesign& design, QWidget* parent) {
  auto* edit = MakeChild<QLineEdit>(ToQString(design.text), parent);
  edit->setMaxLength(std::numeric_limits<int>::max());  // no length limit
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit->setPalette(palette);
  edit->setCursorPosition(0);
  return edit;
}

QWidget* MakeButton(const ControlDesign& design, QWidget* parent) {
  auto* button = MakeChild<QPushButton>(ToQString(design.text), parent);
  button->setAutoDefault(false);
  const ControlId id = design.id;
  QObject::connect(button, &QPushButton::clicked, button, [id] {
    if (g_window && g_window->events.clicked) g_window->events.clicked(id);
  });
  return button;
}

QWidget* MakeControl(const ControlDesign& design, QWidget* parent) {
  switch (design.kind) {
    case ControlKind::Label:
      return MakeLabel(design, parent);
    case ControlKind::EditBox:
      return MakeEditBox(design, parent);
    case ControlKind::PushButton:
      return MakeButton(design, parent);
    case ControlKind::ListView: {
      const ControlId id = design.id;
      return MakeListView(design, parent, [id] {
        if (g_window && g_window->events.rightClicked) g_window->events.rightClicked(id);
      });
    }
  }
  return nullptr;
}

}  // namespace

QWidget* MainWidget() {
  return g_window ? g_window->window.get() : nullptr;
}

QWidget* Control(ControlId id) {
  if (!g_window || IndexOf(id) >= kControlCount) return nullptr;
  return g_window->controls[IndexOf(id)];
}

const WindowDesign* Design() {
  return g_window ? &g_window->design : nullptr;
}

const WindowEvents* Events() {
  return g_window ? &g_window->events : nullptr;
}

}  // namespace qt

bool CreateMainWindow(const WindowDesign& design, WindowEvents events) {
  using namespace qt;
  if (g_window) return false;  // the program has one main window
  if (!EnsureApplication()) return false;

  auto state = std::make_unique<WindowState>();
  state->design = design;
  state->events = std::move(events);
  state->window = std::make_unique<MainWindowWidget>(QSize(design.outerWidth, design.outerHeight),
                                                     [] { WindowClosed(); });
  MainWindowWidget& window = *state->window;
  window.setWindowTitle(ToQString(design.caption));
  // The button-face colour behind the controls, as a dialog has it.
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window.setPalette(palette);
  window.setAutoFillBackground(true);

  for (const ControlDesign& control : design.controls) {
    if (IndexOf(control.id) >= kControlCount) continue;
    QWidget* widget = MakeControl(control, &window);
    if (widget == nullptr) continue;
    widget->setGeometry(control.left, control.top, control.width, control.height);
    if (!control.tabStop) {
      widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
    }
    widget->setVisible(control.visible);
    state->controls[IndexOf(control.id)] = widget;
  }
  g_window = std::move(state);
  OpenDispatch();

  // The window exists, hidden: the created event runs now (the startup notice
  // blocks here), and the window shows only afterwards.
  if (g_window->events.created) g_window->events.created();
  if (g_window && !g_window->closed) {
    g_window->window->Centre();
    g_window->window->show();
  }
  return true;
}

void RunMessageLoop() {
  using namespace qt;
  if (!g_window) return;
  // A loop of our own rather than QApplication::exec(): it ends with this
  // window alone, and leaves no application-wide quit request behind that
  // would end every later modal loop (a notice, a menu) at once.
  if (!g_window->closed) {
    QEventLoop loop;
    g_window->loop = &loop;
    loop.exec();
    g_window->loop = nullptr;
  }
  WindowClosed();
  CloseDispatch();
  g_window.reset();
  ReleaseApplication();
}

}  // namespace platform
