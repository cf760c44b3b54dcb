#include "ui/picture.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace torvik::ui {

namespace {

// Pixel coordinates far outside the image are clamped so that a body at an
// absurd distance cannot overflow the painter's integer arithmetic.
constexpr double kFar = 1e6;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs;

double Clamp(double v) { return std::isfinite(v) ? std::fmax(-kFar, std::fmin(kFar, v)) : kFar; }

}  // namespace

Picture::Picture(int widthPx, int heightPx, QWidget* parent)
    : QWidget(parent), image_(widthPx, heightPx, QImage::Format_RGB32) {
  setFixedSize(widthPx, heightPx);
  setAttribute(Qt::WA_OpaquePaintEvent);
  image_.fill(Qt::white);
}

void Picture::SetScale(double left, double top, double right, double bottom) {
  if (left == right || top == bottom) return;
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
}

double Picture::PixelsPerUnitX() const { return image_.width() / (right_ - left_); }
double Picture::PixelsPerUnitY() const { return image_.height() / (bottom_ - top_); }

QPointF Picture::ToPixel(double x, double y) const {
  return QPointF(Clamp((x - left_) * PixelsPerUnitX()), Clamp((y - top_) * PixelsPerUnitY()));
}

void Picture::Clear() {
  image_.fill(background_);
  update();
}

void Picture::Point(double x, double y, const QColor& colour) {
  QPointF p = ToPixel(x, y);
  int px = static_cast<int>(std::floor(p.x())), py = static_cast<int>(std::floor(p.y()));
  if (image_.valid(px, py)) image_.setPixelColor(px, py, colour);
  update();
}

void Picture::Line(double x1, double y1, double x2, double y2, const QColor& colour) {
  QPainter painter(&image_);
  painter.setPen(QPen(colour, 1));
  painter.drawLine(ToPixel(x1, y1), ToPixel(x2, y2));
  update();
}

void Picture::Circle(double x, double y, double r, const QColor& colour, double aspect, bool fill) {
  if (!(aspect > 0.0)) aspect = 1.0;
  double rx = Clamp(std::fabs(r * PixelsPerUnitX()));
  double ry = rx * aspect;
  if (aspect > 1.0) {
    ry = rx;
    rx = ry / aspect;
  }
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(colour, 1));
  painter.setBrush(fill ? QBrush(colour) : Qt::NoBrush);
  painter.drawEllipse(ToPixel(x, y), rx, ry);
  update();
}

void Picture::Text(double x, double y, const QString& text, const QColor& colour, const QRect& clip) {
  QPainter painter(&image_);
  if (!clip.isNull()) painter.setClipRect(clip);
  painter.setPen(colour);
  painter.setFont(font());
  QPointF p = ToPixel(x, y);
  painter.drawText(QRectF(p.x(), p.y(), kFar, kFar), kTextFlags, text);
  update();
}

QRect Picture::TextRect(double x, double y, const QString& text) const {
  QPointF p = ToPixel(x, y);
  return QFontMetrics(font()).boundingRect(QRect(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())),
                                                 static_cast<int>(kFar), static_cast<int>(kFar)),
                                           kTextFlags, text);
}

QColor Picture::ColourAt(double x, double y) const {
  QPointF p = ToPixel(x, y);
  int px = static_cast<int>(std::floor(p.x())), py = static_cast<int>(std::floor(p.y()));
  if (!image_.valid(px, py)) return QColor();
  return image_.pixelColor(px, py);
}

void Picture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}

}  // namespace torvik::ui
