#include "ui/NamedControls.h"

namespace tidemark::ui {

namespace {

void collect(const QWidget& widget, const std::string& path, std::vector<NamedControl>& controls) {
    if (!widget.isVisible())
        return;
    std::string name = path;
    if (!widget.objectName().isEmpty()) {
        name += (name.empty() ? "" : "/") + widget.objectName().toStdString();
        const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
        controls.push_back({name, Rect{double(origin.x()), double(origin.y()),
                                       double(widget.width()), double(widget.height())}});
    }
    for (const QObject* child : widget.children())
        if (const auto* childWidget = qobject_cast<const QWidget*>(child);
            childWidget && !childWidget->isWindow())
            collect(*childWidget, name, controls);
}

} // namespace

std::vector<NamedControl> namedControls(const QWidget& root) {
    std::vector<NamedControl> controls;
    collect(root, {}, controls);
    return controls;
}

} // namespace tidemark::ui
