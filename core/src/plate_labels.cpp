#include "pictolex/plate_labels.h"

#include <algorithm>
#include <cmath>

#include "named_table.h"

namespace pictolex {
namespace {

float DistanceToSegment(LabelPoint a, LabelPoint b, float x, float y)
{
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = 0;
    if (length2 > 0)
        t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0f, 1.0f);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

bool Holds(const LabelBox& box, float x, float y)
{
    return x >= static_cast<float>(box.left) && x < static_cast<float>(box.right) && y >= static_cast<float>(box.top) &&
           y < static_cast<float>(box.bottom);
}

}  // namespace

std::span<const PlateLabel> LabelStore::Find(std::string_view name) const
{
    const StoredLabels* found = detail::FindNamed(m_pictures, name);
    return found ? found->labels : std::span<const PlateLabel>();
}

float DistanceToMark(const PlateLabel& label, float x, float y)
{
    const auto& p = label.points;
    if (label.mark == LabelMark::Dot)
        return std::max(0.0f, std::hypot(x - p[0].x, y - p[0].y) - label.radius);
    return std::min({DistanceToSegment(p[0], p[1], x, y), DistanceToSegment(p[1], p[2], x, y),
                     DistanceToSegment(p[2], p[3], x, y)});
}

int LabelAt(std::span<const PlateLabel> labels, float x, float y)
{
    int nearest = -1;
    float nearestDistance = kLabelReach;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (Holds(labels[i].text, x, y))
            return static_cast<int>(i);
        const float distance = DistanceToMark(labels[i], x, y);
        if (distance < nearestDistance || (distance == nearestDistance && nearest < 0)) {
            nearest = static_cast<int>(i);
            nearestDistance = distance;
        }
    }
    return nearest;
}

}  // namespace pictolex
