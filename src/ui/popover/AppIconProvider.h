#pragma once

#include "spaces/AppIconSource.h"
#include "spaces/Space.h"
#include "spaces/Workspace.h"

#include <QPixmap>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace tidemark::ui {

// The icons of apps, for the panel's rows at its sizes and the screen's pixel ratio and, as
// the platform's icon source, for the strip: the app's desktop entry icon through the icon
// theme (a name or a file path), then the app's own window icon from the workspace, then a
// drawn tile with the app's initial. Cached by app key and pixel size. Main thread only.
class AppIconProvider final : public AppIconSource {
public:
    // The desktop entry's Icon= value for an app key, when the platform has one.
    using IconNameLookup = std::function<std::optional<std::string>(const std::string& appKey)>;

    // `workspace` (may be null) must outlive the provider.
    explicit AppIconProvider(Workspace* workspace, IconNameLookup iconNames = {});

    // The icon at `size` points and `scale` pixels per point, never null.
    QPixmap icon(const SpaceAppDetail& app, int size, qreal scale) const;
    // The same icon as a bitmap image of `pixels` points at one pixel per point.
    ImageRef appIcon(const SpaceAppDetail& app, int pixels) const override;

    // The drawn tile alone: the initial of `name` on a rounded square coloured after `key`.
    static QPixmap initialTile(const std::string& name, const std::string& key, int size,
                               qreal scale);

private:
    QPixmap load(const SpaceAppDetail& app, int size, qreal scale) const;

    Workspace* workspace_;
    IconNameLookup iconNames_;
    mutable std::map<std::tuple<std::string, int>, QPixmap> cache_;
};

} // namespace tidemark::ui
