// The labels drawn on a plate's picture: where each label's text and its dot
// or bracket stand, and which line of the plate's entry the label names. The
// build measures them on the rendered picture; the window uses them to tie the
// picture to the entry's lines.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace pictolex {

// A point in picture pixels: (0, 0) is the top-left corner of the picture,
// and pixel (i, j) covers [i, i + 1) x [j, j + 1).
struct LabelPoint {
    float x = 0;
    float y = 0;
};

// A box of whole picture pixels; right and bottom are exclusive.
struct LabelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class LabelMark {
    Dot,     // a filled circle round points[0]
    Bracket  // a line beside or under a whole, its ends turned towards it: the path through points[0..3]
};

struct PlateLabel {
    std::string_view term;
    int line = 0;   // index of the label's line among the entry's body lines (those EntryLines gives)
    LabelBox text;  // every pixel the rendered label text inks
    LabelMark mark = LabelMark::Dot;
    std::array<LabelPoint, 4> points{};  // a dot uses points[0] only
    float radius = 0;                    // of a dot; 0 for a bracket
};

struct StoredLabels {
    std::string_view name;  // upper-case picture key, e.g. "V001"
    std::span<const PlateLabel> labels;
};

// The labels of every picture, found by picture key with ASCII case ignored.
class LabelStore {
public:
    LabelStore() = default;
    explicit LabelStore(std::span<const StoredLabels> pictures) : m_pictures(pictures) {}

    // The labels of the picture named `name`, in the order of their lines;
    // empty when the picture has none or there is no such picture.
    std::span<const PlateLabel> Find(std::string_view name) const;

    std::span<const StoredLabels> All() const { return m_pictures; }

private:
    std::span<const StoredLabels> m_pictures;
};

// How far beyond its dot or bracket a label answers the pointer, in picture
// pixels.
inline constexpr float kLabelReach = 6;

// The distance from (x, y) to the label's dot (0 on or inside it) or to the
// line of its bracket.
float DistanceToMark(const PlateLabel& label, float x, float y);

// The index of the label that answers the point (x, y), or -1 when none does.
// A label answers over its text box and within kLabelReach of its mark. Where
// several do, the one whose text holds the point wins (text boxes do not
// overlap), else the one whose mark is nearest; the first of equals wins.
// Allocates nothing.
int LabelAt(std::span<const PlateLabel> labels, float x, float y);

}  // namespace pictolex
