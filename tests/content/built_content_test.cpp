// The content as the program sees it: every row leads to its own picture and
// to exactly the lines its plate was written with, and every picture decodes
// to the same pixels as libjpeg's reference tool.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pictolex/category.h"
#include "pictolex/content.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/jpeg.h"
#include "pictolex/plate_labels.h"
#include "pictolex/search.h"
#include "pictolex/text.h"

namespace pictolex {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Picture key -> plate source file, as the build recorded it.
std::map<std::string, std::string> PlateFiles()
{
    std::map<std::string, std::string> plates;
    std::istringstream rows(ReadFile(PICTOLEX_TEXT_DIR "/plates.tsv"));
    for (std::string row; std::getline(rows, row);) {
        const auto tab = row.find('\t');
        plates[row.substr(0, tab)] = row.substr(tab + 1);
    }
    return plates;
}

// The glossary lines a plate file was written with: the non-blank lines after
// its header, each cut before its label data (which starts at the only "@" a
// plate line may hold). Deliberately independent of the build's own parser.
std::vector<std::string> PlateBodyLines(const std::string& path)
{
    std::istringstream in(ReadFile(path));
    std::vector<std::string> lines;
    bool inBody = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            inBody = true;
            continue;
        }
        if (!inBody || Trim(line).empty())
            continue;
        if (const auto at = line.rfind('@'); at != std::string::npos)
            line.erase(line.find_last_not_of(" \t", at - 1) + 1);
        lines.push_back(line);
    }
    return lines;
}

// A label as its plate file writes it: "Term: definition. @ #part X,Y side"
// for a dot, "@ #part [X,Y1-Y2] side" for a bracket beside a whole or
// "@ #part [X1-X2,Y] side" for one under it, then an optional "y=". The
// label data starts at the only "@" a plate line may hold.
struct SourceLabel {
    std::string term;
    int line = 0;  // among the plate's body lines
    bool bracket = false;
    std::vector<std::pair<double, double>> points;  // where the mark is drawn
};

std::vector<SourceLabel> PlateSourceLabels(const std::string& path)
{
    constexpr double tick = 5;  // a bracket's ends turn this far towards its whole
    std::istringstream in(ReadFile(path));
    std::vector<SourceLabel> labels;
    bool inBody = false;
    int line = -1;
    for (std::string text; std::getline(in, text);) {
        if (text.empty())
            inBody = true;
        if (!inBody || Trim(text).empty())
            continue;
        ++line;
        const auto at = text.rfind('@');
        if (at == std::string::npos)
            continue;
        std::istringstream data(text.substr(at + 1));
        std::string part, place, side;
        data >> part >> place >> side;
        EXPECT_TRUE(part.starts_with('#') && (side == "left" || side == "right")) << text;
        SourceLabel label{text.substr(0, text.find(':')), line, place.starts_with('['), {}};
        double a = 0, b = 0, c = 0;
        if (!label.bracket) {
            EXPECT_EQ(std::sscanf(place.c_str(), "%lf,%lf", &a, &b), 2) << text;
            label.points = {{a, b}};
        } else if (std::sscanf(place.c_str(), "[%lf,%lf-%lf]", &a, &b, &c) == 3) {
            // Beside the whole; the ends turn away from the label's column.
            const double end = a + (side == "left" ? tick : -tick);
            label.points = {{end, std::min(b, c)}, {a, std::min(b, c)}, {a, std::max(b, c)}, {end, std::max(b, c)}};
        } else {
            // Under the whole; the ends turn up.
            EXPECT_EQ(std::sscanf(place.c_str(), "[%lf-%lf,%lf]", &a, &b, &c), 3) << text;
            label.points = {
                {std::min(a, b), c - tick}, {std::min(a, b), c}, {std::max(a, b), c}, {std::max(a, b), c - tick}};
        }
        labels.push_back(label);
    }
    return labels;
}

struct Pnm {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Runs djpeg on a stored picture and reads its binary PPM output.
Pnm Djpeg(const std::string& options, const std::string& file)
{
    const std::string command = "djpeg " + options + " -pnm '" + file + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string data;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        data.append(buffer, n);
    std::istringstream header(data);
    std::string magic;
    int maxval = 0;
    Pnm pnm;
    header >> magic >> pnm.width >> pnm.height >> maxval;
    EXPECT_EQ(magic, "P6") << command;
    const auto offset = static_cast<std::size_t>(header.tellg()) + 1;
    pnm.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(offset), data.end());
    return pnm;
}

std::vector<std::uint8_t> ExpandPalette(const DecodedImage& image)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (const auto index : image.pixels)
        rgb.insert(rgb.end(), image.palette.at(index).begin(), image.palette.at(index).end());
    return rgb;
}

TEST(BuiltContent, glossaryHasAHeadingPerRowAndEndsWithTheClosingHeading)
{
    const auto lines = SplitLines(content::GlossaryText());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "[*c*]");
    EXPECT_TRUE(content::GlossaryText().ends_with("[*c*]\r\n"));
    std::size_t rows = 0;
    for (const auto& category : kCategories)
        rows += content::CategoryTitles(category.tag).size();
    std::size_t headings = 0;
    for (const auto line : lines)
        headings += IsHeading(line) && line != "[*c*]";
    EXPECT_EQ(headings, rows);
    EXPECT_EQ(content::Pictures().All().size(), rows);
    EXPECT_TRUE(content::CategoryTitles(0).empty());
    EXPECT_TRUE(content::CategoryTitles(7).empty());
}

TEST(BuiltContent, everyRowLeadsToItsPictureAndToExactlyItsPlatesLines)
{
    const auto plates = PlateFiles();
    for (const auto& category : kCategories) {
        const auto titles = content::CategoryTitles(category.tag);
        EXPECT_GE(titles.size(), 3u) << category.label;
        for (const auto title : titles) {
            const auto keys = CategoryRowKeys(category.tag, title);
            SCOPED_TRACE(std::string(title));
            EXPECT_TRUE(content::Pictures().Find(keys.pictureKey).has_value());
            std::string upper = keys.pictureKey;
            upper[0] = static_cast<char>(upper[0] - 'a' + 'A');
            ASSERT_TRUE(plates.contains(upper));
            EXPECT_EQ(EntryLines(content::GlossaryText(), keys.entryKey), PlateBodyLines(plates.at(upper)));
        }
    }
}

TEST(BuiltContent, plantCellHasEighteenLinesFromItsSubjectToStarchGrain)
{
    const auto lines = EntryLines(content::GlossaryText(), "001 Plant cell");
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_TRUE(lines.front().starts_with("Plant cell:"));
    EXPECT_TRUE(lines.back().starts_with("Starch grain:"));
    const auto lines2 = SplitLines(content::GlossaryText());
    EXPECT_EQ(lines2.front(), "[*v*]001 Plant cell.jpg ");
}

TEST(BuiltContent, euglenaPictureIs465By423)
{
    const auto bytes = content::Pictures().Find("a001");
    ASSERT_TRUE(bytes);
    const auto header = ReadJpegHeader(*bytes);
    EXPECT_EQ(header.width, 465);
    EXPECT_EQ(header.height, 423);
}

TEST(BuiltContent, bannerAndIconHaveTheirSizes)
{
    const auto banner = ReadJpegHeader(content::Banner());
    EXPECT_EQ(banner.width, 618);
    EXPECT_EQ(banner.height, 153);
    const auto icon = content::Icon();
    ASSERT_GE(icon.size(), 26u);
    EXPECT_EQ(icon[1], 'P');  // PNG signature, then the IHDR chunk with width and height
    EXPECT_EQ(icon[19], 48);
    EXPECT_EQ(icon[23], 48);
    EXPECT_EQ(icon[25], 6) << "colour type 6: RGB with alpha";
}

TEST(BuiltContent, everyPictureDecodesToTheReferencePixelsInBothColourModes)
{
    std::map<char, int> progressive;
    for (const auto& picture : content::Pictures().All()) {
        SCOPED_TRACE(std::string(picture.name));
        const std::string file = PICTOLEX_PICTURES_DIR "/" + std::string(picture.name) + ".jpg";
        const auto header = ReadJpegHeader(picture.bytes);
        progressive[picture.name[0]] += header.progressive;
        EXPECT_TRUE(header.colour);

        const auto rgb = DecodeJpeg(picture.bytes, ColourMode::Rgb);
        EXPECT_EQ(rgb.width, header.width);
        EXPECT_EQ(rgb.height, header.height);
        const auto reference = Djpeg("", file);
        EXPECT_EQ(reference.width, rgb.width);
        EXPECT_TRUE(reference.rgb == rgb.pixels) << "RGB pixels differ from djpeg";

        const auto quantised = DecodeJpeg(picture.bytes, ColourMode::Quantised236);
        EXPECT_LE(quantised.palette.size(), 236u);
        EXPECT_TRUE(Djpeg("-colors 236", file).rgb == ExpandPalette(quantised))
            << "236-colour pixels differ from djpeg -colors 236";
    }
    for (const auto& category : kCategories) {
        const char letter = static_cast<char>(category.letter[0] - 'a' + 'A');
        EXPECT_GE(progressive[letter], 1) << category.label << " has no progressive picture";
    }
}

TEST(BuiltContent, everyPicturesLabelsAreThoseItsPlateFileWrites)
{
    const auto plates = PlateFiles();
    std::size_t labelled = 0;
    for (const auto& picture : content::Pictures().All()) {
        SCOPED_TRACE(std::string(picture.name));
        const auto built = content::Labels().Find(picture.name);
        const auto source = PlateSourceLabels(plates.at(std::string(picture.name)));
        ASSERT_EQ(built.size(), source.size());
        labelled += !built.empty();
        for (std::size_t i = 0; i < built.size(); ++i) {
            SCOPED_TRACE(source[i].term);
            EXPECT_EQ(built[i].term, source[i].term);
            EXPECT_EQ(built[i].line, source[i].line);
            EXPECT_EQ(built[i].mark == LabelMark::Bracket, source[i].bracket);
            EXPECT_EQ(built[i].radius > 0, !source[i].bracket);
            for (std::size_t p = 0; p < source[i].points.size(); ++p) {
                // The drawing puts marks to the tenth of a pixel.
                EXPECT_NEAR(built[i].points[p].x, source[i].points[p].first, 0.051);
                EXPECT_NEAR(built[i].points[p].y, source[i].points[p].second, 0.051);
            }
        }
    }
    EXPECT_GT(labelled, content::Pictures().All().size() / 2);
    EXPECT_TRUE(content::Labels().Find("X999").empty());
}

// On the decoded picture, where drawing may come close to a label but never
// touches its text: ink just outside a box never touches ink inside it (the
// box does not cut the text), and the two outermost rows and columns of the
// box each hold ink (it is no larger than the text, within a pixel).
TEST(BuiltContent, everyLabelBoxLiesInItsPictureFitsItsTextAndOverlapsNoOther)
{
    constexpr int inkBelow = 180;  // grey level; white with JPEG noise stays far above it
    for (const auto& picture : content::Pictures().All()) {
        SCOPED_TRACE(std::string(picture.name));
        const DecodedImage image = DecodeJpeg(picture.bytes, ColourMode::Rgb);
        const auto ink = [&image](int x, int y) {
            if (x < 0 || y < 0 || x >= image.width || y >= image.height)
                return false;
            const std::uint8_t* rgb = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
            return (rgb[0] * 299 + rgb[1] * 587 + rgb[2] * 114) / 1000 < inkBelow;
        };
        const auto labels = content::Labels().Find(picture.name);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const LabelBox& box = labels[i].text;
            SCOPED_TRACE(std::string(labels[i].term));
            ASSERT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= image.width && box.bottom <= image.height &&
                        box.right - box.left >= 2 && box.bottom - box.top >= 2);
            const auto inside = [&box](int x, int y) {
                return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            };
            int cut = 0;
            for (int y = box.top - 1; y <= box.bottom; ++y) {
                for (int x = box.left - 1; x <= box.right; ++x) {
                    if (inside(x, y) || !ink(x, y))
                        continue;
                    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        cut += inside(x + dx, y + dy) && ink(x + dx, y + dy);
                }
            }
            EXPECT_EQ(cut, 0) << "the text goes on beyond its box";
            const auto inkedBetween = [&ink](int x0, int x1, int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    for (int x = x0; x < x1; ++x) {
                        if (ink(x, y))
                            return true;
                    }
                }
                return false;
            };
            EXPECT_TRUE(inkedBetween(box.left, box.left + 2, box.top, box.bottom)) << "blank left edge";
            EXPECT_TRUE(inkedBetween(box.right - 2, box.right, box.top, box.bottom)) << "blank right edge";
            EXPECT_TRUE(inkedBetween(box.left, box.right, box.top, box.top + 2)) << "blank top edge";
            EXPECT_TRUE(inkedBetween(box.left, box.right, box.bottom - 2, box.bottom)) << "blank bottom edge";
            for (std::size_t j = 0; j < i; ++j) {
                const LabelBox& other = labels[j].text;
                EXPECT_TRUE(box.right <= other.left || other.right <= box.left || box.bottom <= other.top ||
                            other.bottom <= box.top)
                    << "overlaps " << labels[j].term;
            }
        }
    }
}

// Every result of a search over the whole glossary leads back to its own
// entry: a stored picture and the lines under the heading it was found in.
TEST(BuiltContent, everySearchResultResolvesToItsOwnEntry)
{
    const auto glossary = content::GlossaryText();
    const auto lines = SplitLines(glossary);
    const auto matches = SearchTerms(glossary, "e", true);
    ASSERT_GT(matches.size(), 20u);
    for (const auto& match : matches) {
        SCOPED_TRACE(match.element);
        const auto keys = ResolveResult(match.element);
        ASSERT_TRUE(keys);
        EXPECT_TRUE(content::Pictures().Find(keys->pictureKey).has_value());
        const auto heading = match.element.substr(match.element.find("[*"));
        std::vector<std::string> expected;
        auto line = std::find(lines.begin(), lines.end(), heading);
        ASSERT_NE(line, lines.end());
        for (++line; line != lines.end() && !IsHeading(*line); ++line)
            expected.emplace_back(*line);
        EXPECT_EQ(EntryLines(glossary, keys->entryKey), expected);
    }
}

}  // namespace
}  // namespace pictolex
