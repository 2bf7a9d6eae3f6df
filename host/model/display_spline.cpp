// Splines for display: rational B-splines from their control points and knots, and a curve
// through fit points for a spline saved without its control points.
#include "host/model/display_build.h"

#include <algorithm>

namespace kelvo::host::display {

namespace {

constexpr int kSamplesPerSpan = 16;
constexpr std::size_t kMaxPoints = 20000;  // a spline of nonsense stays drawable

// De Boor's algorithm on homogeneous points (x w, y w, w).
P2 deBoor(int p, const std::vector<double>& u, const std::vector<std::array<double, 3>>& cw, std::size_t span, double t) {
  std::array<std::array<double, 3>, 12> d{};  // the degree is at most 11
  for (int j = 0; j <= p; ++j) d[static_cast<std::size_t>(j)] = cw[span - static_cast<std::size_t>(p) + static_cast<std::size_t>(j)];
  for (int r = 1; r <= p; ++r)
    for (int j = p; j >= r; --j) {
      const std::size_t i = span - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
      const double den = u[i + static_cast<std::size_t>(p) + 1 - static_cast<std::size_t>(r)] - u[i];
      const double a = den == 0 ? 0 : (t - u[i]) / den;
      auto& dj = d[static_cast<std::size_t>(j)];
      const auto& dp = d[static_cast<std::size_t>(j - 1)];
      for (int k = 0; k < 3; ++k) dj[static_cast<std::size_t>(k)] = (1 - a) * dp[static_cast<std::size_t>(k)] + a * dj[static_cast<std::size_t>(k)];
    }
  const auto& r = d[static_cast<std::size_t>(p)];
  return r[2] == 0 ? P2{r[0], r[1]} : P2{r[0] / r[2], r[1] / r[2]};
}

// As many points for a span as its control points turn: a straight span needs two, a tight
// bend a point every few degrees.
int samplesFor(const std::vector<P2>& c, std::size_t first, std::size_t last) {
  double turn = 0;
  for (std::size_t i = first + 1; i < last; ++i) {
    const P2 a{c[i][0] - c[i - 1][0], c[i][1] - c[i - 1][1]}, b{c[i + 1][0] - c[i][0], c[i + 1][1] - c[i][1]};
    turn += std::abs(std::atan2(a[0] * b[1] - a[1] * b[0], a[0] * b[0] + a[1] * b[1]));
  }
  return turn < 0.12 * kSamplesPerSpan ? std::max(2, static_cast<int>(std::ceil(turn / 0.12))) : kSamplesPerSpan;
}

std::vector<P2> bspline(int p, const std::vector<P2>& control, std::vector<double> u, const std::vector<double>& w) {
  const std::size_t n = control.size();
  if (p < 1 || n < static_cast<std::size_t>(p) + 1) return control;
  if (u.size() != n + static_cast<std::size_t>(p) + 1) {  // none, or not as many as the degree needs: clamped uniform
    u.clear();
    for (std::size_t i = 0; i < n + static_cast<std::size_t>(p) + 1; ++i)
      u.push_back(static_cast<double>(std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(i) - p, 0, static_cast<std::ptrdiff_t>(n) - p)));
  }
  std::vector<std::array<double, 3>> cw;
  for (std::size_t i = 0; i < n; ++i) {
    const double wi = i < w.size() && w[i] > 0 ? w[i] : 1;
    cw.push_back({control[i][0] * wi, control[i][1] * wi, wi});
  }
  std::vector<P2> out;
  const auto sp = static_cast<std::size_t>(p);
  for (std::size_t span = sp; span < n && out.size() < kMaxPoints; ++span) {
    const double a = u[span], b = u[span + 1];
    if (!(b > a)) continue;
    const int samples = samplesFor(control, span - sp, span);
    for (int k = out.empty() ? 0 : 1; k <= samples; ++k) out.push_back(deBoor(p, u, cw, span, a + (b - a) * k / samples));
  }
  return out;
}

double cross(P2 a, P2 b) { return std::abs(a[0] * b[1] - a[1] * b[0]); }

// The direction of the curve at the first fit point and at the last, from five points around
// each (Akima's estimate, which comes closest to what CAD programs draw).
std::array<P2, 2> endTangents(const std::vector<P2>& p) {
  const std::size_t n = p.size();
  std::vector<P2> q(n + 3);  // q[k] = p[k] - p[k - 1], extended by two on each side
  for (std::size_t k = 1; k < n; ++k) q[k] = {p[k][0] - p[k - 1][0], p[k][1] - p[k - 1][1]};
  auto ext = [](P2 a, P2 b) { return P2{2 * a[0] - b[0], 2 * a[1] - b[1]}; };
  q[0] = ext(q[1], q[2]);
  q[n] = ext(q[n - 1], q[n - 2]);
  q[n + 1] = ext(q[n], q[n - 1]);
  q[n + 2] = ext(q[0], q[1]);  // stands before q[0]
  auto tangent = [&](P2 before, P2 a, P2 b, P2 after) {
    const double v1 = cross(before, a), v2 = cross(b, after);
    const double alpha = v1 + v2 > 0 ? v1 / (v1 + v2) : 0.5;
    P2 t{(1 - alpha) * a[0] + alpha * b[0], (1 - alpha) * a[1] + alpha * b[1]};
    const double len = std::hypot(t[0], t[1]);
    return len > 0 ? P2{t[0] / len, t[1] / len} : t;
  };
  return {tangent(q[n + 2], q[0], q[1], q[2]), tangent(q[n - 2], q[n - 1], q[n], q[n + 1])};
}

// The cubic through the points with the given end directions, parametrised by chord length:
// the curve CAD programs make of a spline's fit points.
std::vector<P2> throughPoints(const std::vector<P2>& fit, std::array<P2, 2> ends) {
  const std::size_t n = fit.size();
  if (n < 3) return fit;
  std::vector<double> t(n, 0);
  for (std::size_t i = 1; i < n; ++i) t[i] = t[i - 1] + std::max(std::hypot(fit[i][0] - fit[i - 1][0], fit[i][1] - fit[i - 1][1]), 1e-12);
  std::array<std::vector<double>, 2> m;  // second derivatives, by the tridiagonal system
  for (std::size_t k = 0; k < 2; ++k) {
    std::vector<double> a(n, 0), b(n, 0), c(n, 0), r(n, 0);
    const double h0 = t[1] - t[0], hn = t[n - 1] - t[n - 2];
    b[0] = 2 * h0, c[0] = h0, r[0] = 6 * ((fit[1][k] - fit[0][k]) / h0 - ends[0][k]);
    a[n - 1] = hn, b[n - 1] = 2 * hn, r[n - 1] = 6 * (ends[1][k] - (fit[n - 1][k] - fit[n - 2][k]) / hn);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double g0 = t[i] - t[i - 1], g1 = t[i + 1] - t[i];
      a[i] = g0, b[i] = 2 * (g0 + g1), c[i] = g1;
      r[i] = 6 * ((fit[i + 1][k] - fit[i][k]) / g1 - (fit[i][k] - fit[i - 1][k]) / g0);
    }
    for (std::size_t i = 1; i < n; ++i) {
      const double f = a[i] / b[i - 1];
      b[i] -= f * c[i - 1], r[i] -= f * r[i - 1];
    }
    m[k].assign(n, 0);
    for (std::size_t i = n; i-- > 0;) m[k][i] = (r[i] - (i + 1 < n ? c[i] * m[k][i + 1] : 0)) / b[i];
  }
  std::vector<P2> out{fit[0]};
  for (std::size_t i = 0; i + 1 < n && out.size() < kMaxPoints; ++i) {
    const double h = t[i + 1] - t[i];
    for (int s = 1; s <= kSamplesPerSpan; ++s) {
      const double x = h * s / kSamplesPerSpan, y = h - x;
      P2 p;
      for (std::size_t k = 0; k < 2; ++k)
        p[k] = m[k][i] * y * y * y / (6 * h) + m[k][i + 1] * x * x * x / (6 * h) + (fit[i][k] / h - m[k][i] * h / 6) * y +
               (fit[i + 1][k] / h - m[k][i + 1] * h / 6) * x;
      out.push_back(p);
    }
  }
  return out;
}

}  // namespace

std::vector<P2> splinePoints(int degree, const std::vector<P2>& control, std::vector<double> knots,
                             const std::vector<double>& weights, const std::vector<P2>& fit, bool closed,
                             const std::array<std::optional<P2>, 2>& tangents) {
  if (control.size() >= 2) return bspline(std::clamp(degree, 1, 11), control, std::move(knots), weights);
  std::vector<P2> through = fit;
  if (closed && fit.size() > 2) through.push_back(fit.front());
  if (through.size() < 3) return through;
  std::array<P2, 2> ends = endTangents(through);
  for (std::size_t k = 0; k < 2; ++k)
    if (const auto& given = tangents[k]; given && std::hypot((*given)[0], (*given)[1]) > 0) {
      const double len = std::hypot((*given)[0], (*given)[1]);
      ends[k] = {(*given)[0] / len, (*given)[1] / len};
    }
  return throughPoints(through, ends);
}

}  // namespace kelvo::host::display
