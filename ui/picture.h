// A drawing area with a user coordinate system whose unit is the "centimetre
// of the picture". What is drawn stays until Clear: successive runs draw over
// each other. The contents live in an image of fixed pixel size, so drawing
// works the same whether or not the widget is visible.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

namespace torvik::ui {

class Picture : public QWidget {
  Q_OBJECT

 public:
  Picture(int widthPx, int heightPx, QWidget* parent = nullptr);

  // User coordinates: (left, top) is the upper-left corner and (right,
  // bottom) the lower-right one, so top > bottom puts y upward.
  void SetScale(double left, double top, double right, double bottom);
  // Fills the picture with its background colour (white unless set).
  void Clear();
  void SetBackground(const QColor& colour) { background_ = colour; }
  void Point(double x, double y, const QColor& colour);
  void Line(double x1, double y1, double x2, double y2, const QColor& colour);
  // A circle of radius r in horizontal units; aspect = height / width makes
  // an ellipse (r then measures the longer axis); filled when `fill`.
  void Circle(double x, double y, double r, const QColor& colour, double aspect = 1.0, bool fill = false);
  // Text whose upper-left corner is at (x, y); "\n" starts a new line. With a
  // `clip` (pixels) only the part inside it is painted.
  void Text(double x, double y, const QString& text, const QColor& colour = Qt::black, const QRect& clip = QRect());
  // The pixels that Text(x, y, text) inks at most.
  QRect TextRect(double x, double y, const QString& text) const;

  QPointF ToPixel(double x, double y) const;
  // Colour of the pixel under the point (x, y); invalid outside the picture.
  QColor ColourAt(double x, double y) const;
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double PixelsPerUnitX() const;
  double PixelsPerUnitY() const;
  QImage image_;
  QColor background_ = Qt::white;
  double left_ = 0.0, top_ = 0.0, right_ = 1.0, bottom_ = 1.0;
};

}  // namespace torvik::ui
