#include "app/window/workflow_push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include "support/caption_fit.h"

namespace app::window {

WorkflowPushButton::WorkflowPushButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void WorkflowPushButton::setFaceColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Button, color);
  setPalette(p);
}

QColor WorkflowPushButton::faceColor() const { return palette().color(QPalette::Button); }

namespace {

constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap;

QRect captionArea(const QRect& face) { return face.adjusted(4, 2, -4, -2); }

}  // namespace

void WorkflowPushButton::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  support::screen::shrinkFontToFit(*this, captionArea(rect()), kCaptionFlags, text());
}

void WorkflowPushButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(captionArea(rect()), kCaptionFlags, text());
}

}  // namespace app::window
