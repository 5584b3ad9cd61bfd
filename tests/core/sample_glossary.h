// A small glossary in the shape of the built-in one: headings "[*x*]NNN
// Title.jpg " (with the trailing blank), term lines "Term: definition",
// CR LF after every line and the closing heading "[*c*]" last.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pictolex::testing {

inline const std::vector<std::string_view> kSampleLines{
    "[*v*]001 Plant cell.jpg ",
    "Plant cell: the basic unit of a plant.",
    "Cell wall: a rigid layer around the cell.",
    "  Nucleus: holds the genetic material. ",
    "Starch grain: stores food.",
    "[*v*]002 Structure of a tree.jpg ",
    "Structure of a tree: the parts of a tree.",
    "Root : takes up water and minerals.",
    "Leaf: makes food from light.",
    "[*a*]001 Structure of a euglena.jpg ",
    "Structure of a euglena: a one-celled organism.",
    "Nucleus: controls the euglena.",
    "Eyespot: senses light.",
    "[*h*]001 Cell.jpg ",
    "Cell: the smallest living unit.",
    "Plant cell: compared with an animal cell.",
    "Cell membrane: the outer layer.",
    "[*c*]001 suit.jpg ",
    "Suit: a jacket and trousers of one cloth.",
    "\xC3\xA0 la mode: in the latest fashion.",
    "[*c*]",
};

// The sample lines joined with `lineBreak` after every line.
inline std::string JoinLines(const std::vector<std::string_view>& lines, std::string_view lineBreak = "\r\n")
{
    std::string text;
    for (std::string_view line : lines) {
        text.append(line).append(lineBreak);
    }
    return text;
}

inline const std::string kSampleGlossary = JoinLines(kSampleLines);

// The body lines of the entry whose heading is `heading`, read straight from
// the sample lines.
inline std::vector<std::string> SampleBody(std::string_view heading)
{
    std::vector<std::string> body;
    bool inEntry = false;
    for (std::string_view line : kSampleLines) {
        if (line.starts_with("[*")) {
            if (inEntry) {
                break;
            }
            inEntry = line == heading;
        } else if (inEntry) {
            body.emplace_back(line);
        }
    }
    return body;
}

}  // namespace pictolex::testing
