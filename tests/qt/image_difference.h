#pragma once
// How far two pictures of the same size lie apart: the largest difference of
// any colour channel at any pixel, in levels (0 = identical).

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace qzarn::testing {

inline int LargestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  return largest;
}

}  // namespace qzarn::testing
