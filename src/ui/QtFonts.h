#pragma once

#include "icon/Canvas.h"

#include <QFont>

namespace tidemark::ui {

// The system font the description asks for, sized in points of the image. Created once per
// description and kept.
const QFont& systemFont(const Font& font);

} // namespace tidemark::ui
