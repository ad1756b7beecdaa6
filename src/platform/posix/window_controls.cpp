// Texts and states of the main window's controls.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include "platform/posix/window_qt.h"

namespace platform {

Text ControlText(ControlId id) {
  QWidget* control = qt::Control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return qt::FromQString(edit->text());
  if (auto* label = qobject_cast<QLabel*>(control)) return qt::FromQString(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    return qt::FromQString(button->text());
  }
  return {};
}

void SetControlText(ControlId id, const Text& text) {
  QWidget* control = qt::Control(id);
  const QString value = qt::ToQString(text);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(value);
  }
}

void SetControlEnabled(ControlId id, bool enabled) {
  if (QWidget* control = qt::Control(id)) control->setEnabled(enabled);
}

bool ControlEnabled(ControlId id) {
  const QWidget* control = qt::Control(id);
  return control != nullptr && control->isEnabled();
}

void AppendToBox(ControlId id, const Text& text) {
  auto* edit = qobject_cast<QLineEdit*>(qt::Control(id));
  if (edit == nullptr || text.Length() == 0) return;
  edit->end(false);
  edit->insert(qt::ToQString(text));
}

Text BoxText(ControlId id) {
  return ControlText(id);
}

void ClearBox(ControlId id) {
  SetControlText(id, {});
}

}  // namespace platform
