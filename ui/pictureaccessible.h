// What screen readers learn about Image1: a graphic named after its plate,
// with one child per label, in the order of their lines. A child is named by
// its term, described by its definition, and has a press action that does
// what a click on the label does.
#pragma once

#include <QAccessible>

namespace pictolex {

class PictureBox;

// Installs, once, the accessibility factory that describes every PictureBox.
void InstallPictureAccessibility();

// A new, unregistered interface for label `index` of `box`; PictureBox keeps
// these (see PictureBox::labelAccessible).
QAccessibleInterface* NewLabelAccessible(PictureBox* box, int index);

}  // namespace pictolex
