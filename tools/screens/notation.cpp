#include "tools/screens/help.h"

#include <QVBoxLayout>
#include <cmath>

namespace torvik {

namespace {

// The drawing: heliocentric ecliptic axes seen from 25° above the ecliptic,
// and one orbit with a = 4.6, e = 0.3, i = 25°, Ω = 50°, ω = 70° (picture
// units and degrees); the planet is shown 100° of true anomaly past perihelion.
constexpr double kDeg = 3.14159265358979 / 180.0;
constexpr double kA = 4.6, kE = 0.3, kI = 25 * kDeg, kNode = 50 * kDeg, kOmega = 70 * kDeg;
constexpr double kElevation = 25 * kDeg, kAzimuth = -35 * kDeg;

struct P3 {
  double x, y, z;
};

// Picture coordinates of an ecliptic point: turn about Z, then tilt toward the viewer.
QPointF Project(const P3& p) {
  const double x = p.x * std::cos(kAzimuth) - p.y * std::sin(kAzimuth);
  const double y = p.x * std::sin(kAzimuth) + p.y * std::cos(kAzimuth);
  return QPointF(x, y * std::sin(kElevation) + p.z * std::cos(kElevation));
}

// Ecliptic point of the orbit at argument of latitude u (radians) and distance r.
P3 OrbitPoint(double u, double r) {
  return P3{r * (std::cos(kNode) * std::cos(u) - std::sin(kNode) * std::sin(u) * std::cos(kI)),
            r * (std::sin(kNode) * std::cos(u) + std::cos(kNode) * std::sin(u) * std::cos(kI)),
            r * std::sin(u) * std::sin(kI)};
}

double Radius(double trueAnomaly) { return kA * (1 - kE * kE) / (1 + kE * std::cos(trueAnomaly)); }

}  // namespace

NotationScreen::NotationScreen() : ui::Screen(kNotationTitle) {}

void NotationScreen::Build() {
  auto* layout = new QVBoxLayout(this);
  picture = new ui::Picture(720, 560);
  picture->SetScale(-9, 7, 9, -7);
  layout->addWidget(picture);
  Draw();
}

void NotationScreen::Draw() { DrawNotation(*picture); }

std::vector<QRect> DrawNotation(ui::Picture& p, bool labels) {
  std::vector<QRect> rects;
  p.SetScale(-9, 7, 9, -7);
  auto label = [&](double x, double y, const QString& s, const QColor& c = Qt::black) {
    rects.push_back(p.TextRect(x, y, s));
    if (labels) p.Text(x, y, s, c);
  };
  const QColor grey(160, 160, 160), axis(0, 0, 0), orbit(0, 0, 200), below(140, 140, 230), node(0, 140, 0),
      angle(200, 0, 0);
  auto line = [&](const P3& a, const P3& b, const QColor& c) {
    QPointF u = Project(a), v = Project(b);
    p.Line(u.x(), u.y(), v.x(), v.y(), c);
  };
  // A label whose upper-left corner is (dx, dy) picture units from the projected point.
  auto text = [&](const P3& a, double dx, double dy, const QString& s, const QColor& c = Qt::black) {
    QPointF u = Project(a);
    label(u.x() + dx, u.y() + dy, s, c);
  };
  // An arc of radius r about the Sun from angle a0 to a1 in a plane given by a point function.
  auto arc = [&](auto point, double a0, double a1, const QColor& c) {
    const int n = 40;
    for (int k = 0; k < n; ++k) line(point(a0 + (a1 - a0) * k / n), point(a0 + (a1 - a0) * (k + 1) / n), c);
  };

  p.Clear();
  label(-8.8, 6.8, "Гелиоцентрическая эклиптическая система координат (эпоха J2000)");

  // The ecliptic plane as a circle and the axes.
  arc([](double a) { return P3{6.5 * std::cos(a), 6.5 * std::sin(a), 0}; }, 0, 2 * 3.14159265358979, grey);
  line({0, 0, 0}, {7.5, 0, 0}, axis);
  line({0, 0, 0}, {0, 7.5, 0}, axis);
  line({0, 0, 0}, {0, 0, 5.5}, axis);
  {
    QPointF x = Project({7.5, 0, 0});
    label(x.x() - 2.1, x.y() - 0.675, "X (точка весеннего\nравноденствия ♈)");
  }
  text({0, 7.6, 0.4}, 0, 0, "Y");
  text({0.2, 0, 5.9}, 0, 0, "Z (к полюсу эклиптики)");
  text({-4.5, -5.5, 0}, -0.825, -1.325, "плоскость эклиптики", grey);

  // The orbit: the part above the ecliptic darker than the part below.
  const int n = 180;
  for (int k = 0; k < n; ++k) {
    const double v0 = 2 * 3.14159265358979 * k / n, v1 = 2 * 3.14159265358979 * (k + 1) / n;
    P3 a = OrbitPoint(kOmega + v0, Radius(v0)), b = OrbitPoint(kOmega + v1, Radius(v1));
    line(a, b, a.z >= 0 && b.z >= 0 ? orbit : below);
  }

  // The node line through the Sun.
  const P3 ascending = OrbitPoint(0, Radius(-kOmega)), descending = OrbitPoint(3.14159265358979, Radius(3.14159265358979 - kOmega));
  line(descending, ascending, node);
  text(ascending, 0.65, -0.125, "восходящий\nузел", node);
  text(descending, 0.075, -0.15, "нисходящий узел", node);
  text({-0.6, -1.5, 0}, 0, -0.475, "линия узлов", node);

  // Ω in the ecliptic from X to the ascending node.
  arc([](double a) { return P3{1.6 * std::cos(a), 1.6 * std::sin(a), 0}; }, 0, kNode, angle);
  text(P3{1.8 * std::cos(kNode / 2), 1.8 * std::sin(kNode / 2), 0}, 0, 0.025, "Ω = AlfaU", angle);

  // i between the ecliptic and the orbit plane at the ascending node.
  const P3 nodeDir{std::cos(kNode), std::sin(kNode), 0};
  const P3 inPlane{-std::sin(kNode), std::cos(kNode), 0};
  const P3 at{nodeDir.x * 3.2, nodeDir.y * 3.2, 0};
  arc([&](double a) {
        return P3{at.x + 1.6 * inPlane.x * std::cos(a), at.y + 1.6 * inPlane.y * std::cos(a), 1.6 * std::sin(a)};
      },
      0, kI, angle);
  text(P3{at.x + 1.8 * inPlane.x, at.y + 1.8 * inPlane.y, 0.6}, 0.325, 0.025, "i = Betta", angle);

  // Perihelion, ω in the orbit plane and ϖ = Ω + ω.
  const P3 perihelion = OrbitPoint(kOmega, Radius(0));
  line({0, 0, 0}, perihelion, orbit);
  p.Circle(Project(perihelion).x(), Project(perihelion).y(), 0.08, orbit, 1.0, true);
  text(perihelion, -0.025, -0.675, "перигелий", orbit);
  arc([](double u) { return OrbitPoint(u, 1.1); }, 0, kOmega, angle);
  text(OrbitPoint(kOmega / 2, 1.3), 0.25, -0.125, "ω", angle);
  label(2.3, -4.6, "ϖ = Ω + ω = AlfaP  (долгота перигелия)", angle);

  // The planet and its mean longitude L = ϖ + M.
  const double v = 100 * kDeg;
  const P3 planet = OrbitPoint(kOmega + v, Radius(v));
  line({0, 0, 0}, planet, grey);
  p.Circle(Project(planet).x(), Project(planet).y(), 0.15, QColor(0, 0, 255), 1.0, true);
  text(planet, 0.275, 0.375, "  планета", orbit);
  label(2.3, -5.1, "L = ϖ + M = AlfaL  (средняя долгота)", angle);

  // The Sun in the origin.
  p.Circle(0, 0, 0.22, QColor(250, 200, 0), 1.0, true);
  text({0.3, -0.3, 0}, -0.1, -0.225, "Солнце");

  // The names of the elements in the program.
  label(-8.8, -4.1,
         "a - Rsr\tбольшая полуось\n"
         "n - Wsr\tсреднее движение\n"
         "e - Eks\tэксцентриситет\n"
         "i - Betta\tнаклон орбиты\n"
         "Ω - AlfaU\tдолгота восходящего узла\n"
         "ϖ - AlfaP\tдолгота перигелия\n"
         "L - AlfaL\tсредняя долгота");
  return rects;
}

}  // namespace torvik
