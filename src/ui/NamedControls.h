#pragma once

#include "foundation/Geometry.h"

#include <QWidget>
#include <string>
#include <vector>

namespace tidemark::ui {

struct NamedControl {
    // The object names of its named ancestors and its own, joined by "/".
    std::string name;
    Rect onScreen;
};

// Every visible widget under `root` (itself included) that has an object name, in screen
// coordinates, in tree order: how live tests find the controls they press.
std::vector<NamedControl> namedControls(const QWidget& root);

} // namespace tidemark::ui
