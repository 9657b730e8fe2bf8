#pragma once
// The overlap check of the gallery: no visible control lies partly inside
// and partly outside a band that its screen paints (as the screen states its
// bands, placed with the screen's ratios), nor partly over a sibling control.
// A control wholly inside another (a caption on its picture button) is no
// overlap. Passed over: a caption's shadow (it goes where its face goes), a
// control marked as laid over others on purpose, the screen's background
// picture "imgBackPicture", and the inner parts of lists, grids and boxes.

#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace OverlapCheck {

struct Overlap {
    QString control;
    QRect place;        // in the screen's pixels
    QString other;      // a sibling control's name, or "band <n>" (0 the first stated)
    QRect otherPlace;
};

std::vector<Overlap> overlaps(const QWidget* window);

QString describe(const Overlap& overlap);

} // namespace OverlapCheck
