#pragma once

#include <QPixmap>

namespace tidemark::ui {

// The application's icon, drawn from its vector artwork at `size` points and `scale` pixels
// per point; a clear pixmap when the artwork is missing.
QPixmap appIcon(int size, qreal scale);

} // namespace tidemark::ui
