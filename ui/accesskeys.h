#pragma once

#include <QStringList>

namespace pictolex {

// Captions of the items at one menu level with access-key marks added: each
// caption gets an '&' before its first letter or digit that no earlier item
// of the level has taken (case ignored). A caption with no free character
// gets no access key. A '&' already in a caption is doubled so that it shows.
QStringList WithAccessKeys(const QStringList& captions);

}  // namespace pictolex
