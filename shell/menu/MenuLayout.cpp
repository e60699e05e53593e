#include "menu/MenuLayout.h"

#include <VbNumber.h>

#include <algorithm>

namespace MenuLayout {

int Snapped(int value, int grid)
{
    const int r = value % grid;
    return r <= grid / 2.0 ? value - r : value + (grid - r);
}

QRect Snapped(const QRect &rect, int grid)
{
    return QRect(Snapped(rect.x(), grid), Snapped(rect.y(), grid), Snapped(rect.width(), grid),
                 Snapped(rect.height(), grid));
}

std::optional<QPointF> Aligned(const QRect &r, const QRect &b, int mode)
{
    // Single precision, as the arithmetic the stored layouts were made with.
    float left = float(b.x());
    float top = float(b.y());
    switch (mode) {
    case 0: left = float(r.x()); break;
    case 1: left = float(r.x()) + float(r.width()) / 2.0f - float(b.width()) / 2.0f; break;
    case 2: left = float(r.x() + r.width() - b.width()); break;
    case 3: top = float(r.y()); break;
    case 4: top = float(r.y()) + float(r.height()) / 2.0f - float(b.height()) / 2.0f; break;
    case 5: top = float(r.y() + r.height() - b.height()); break;
    default: return std::nullopt;
    }
    return QPointF(left, top);
}

QSize SameSize(const QRect &r, const QRect &b, int mode)
{
    return QSize(mode == 1 ? b.width() : r.width(), mode == 0 ? b.height() : r.height());
}

QList<QPair<int, int>> Spaced(const Placed &selected, int mode)
{
    const bool horizontal = mode < 2;
    const bool equal = mode == 0 || mode == 2;
    const int n = int(selected.size());
    if (n < (equal ? 3 : 2))
        return {};
    auto pos = [horizontal](const QRect &r) { return horizontal ? r.x() : r.y(); };
    auto extent = [horizontal](const QRect &r) { return horizontal ? r.width() : r.height(); };
    const int firstPos = pos(selected.first().second);
    if (equal && std::all_of(selected.cbegin(), selected.cend(), [&](const auto &b) { return pos(b.second) == firstPos; }))
        return {};
    // In index order, so the first found wins a tie.
    int first = 0;
    int last = 0;
    for (int k = 0; k < n; ++k) {
        const QRect &r = selected.at(k).second;
        if (pos(r) < pos(selected.at(first).second))
            first = k;
        if (pos(r) + extent(r) > pos(selected.at(last).second) + extent(selected.at(last).second))
            last = k;
    }
    Placed others;
    for (int k = 0; k < n; ++k)
        if (k != first && (!equal || k != last))
            others << selected.at(k);
    std::stable_sort(others.begin(), others.end(), [&](const auto &a, const auto &b) { return pos(a.second) < pos(b.second); });
    const QRect &f = selected.at(first).second;
    int gap = 0;
    if (equal) {
        int free = pos(selected.at(last).second) - (pos(f) + extent(f));
        for (const auto &b : others)
            free -= extent(b.second);
        gap = int(VbNumber::RoundHalfEven(double(free) / double(n - 1)));
    }
    QList<QPair<int, int>> moved;
    int next = pos(f) + extent(f) + gap;
    for (const auto &b : others) {
        moved.append({b.first, next});
        next += extent(b.second) + gap;
    }
    return moved;
}

QPoint KeptInside(const QRect &r, const QSize &form)
{
    int left = r.x();
    int top = r.y();
    if (left + r.width() > form.width())
        left = form.width() - r.width();
    if (left < 0)
        left = 0;
    if (top + r.height() > form.height())
        top = form.height() - r.height();
    if (top < 0)
        top = 0;
    return QPoint(left, top);
}

} // namespace MenuLayout
