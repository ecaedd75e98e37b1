#pragma once
// A command button as the main window draws its workflow buttons: the caption wraps inside the
// button (in a smaller font where it would not fit), and the face takes the colour the workflow
// state gives it.

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
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace app::window
