#pragma once
// A command button as the main window draws its workflow buttons: the caption wraps inside the
// button, and the face takes the colour the workflow state gives it.

#include <QPushButton>

namespace app::window {

class WorkflowPushButton : public QPushButton {
  Q_OBJECT

 public:
  WorkflowPushButton(const QString& caption, QWidget* parent);

  void setFaceColor(const QColor& color);
  QColor faceColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace app::window
