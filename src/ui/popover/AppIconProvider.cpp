#include "ui/popover/AppIconProvider.h"

#include "ui/popover/IconFile.h"

#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>

namespace tidemark::ui {
namespace {

constexpr std::size_t kMaxCachedIcons = 256;
// A bitmap smaller than this is a placeholder, not artwork worth enlarging.
constexpr int kMinimumArtworkEdge = 8;

QImage bitmapImage(const Image& image) {
    const Bitmap* bitmap = image.bitmap();
    if (!bitmap || bitmap->width < kMinimumArtworkEdge || bitmap->height < kMinimumArtworkEdge ||
        bitmap->rgba.size() < std::size_t(bitmap->width) * std::size_t(bitmap->height) * 4)
        return {};
    return QImage(bitmap->rgba.data(), bitmap->width, bitmap->height, bitmap->width * 4,
                  QImage::Format_RGBA8888_Premultiplied)
        .copy();
}

QPixmap scaledPixmap(const QImage& image, int pixels, qreal scale) {
    QPixmap pixmap = QPixmap::fromImage(
        image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QPixmap themePixmap(const std::string& iconName, int pixels, qreal scale) {
    const QString name = QString::fromStdString(iconName);
    if (QFileInfo(name).isAbsolute()) {
        const QImage image = readIconFile(iconName, pixels);
        return image.isNull() ? QPixmap() : scaledPixmap(image, pixels, scale);
    }
    if (name.isEmpty() || !QIcon::hasThemeIcon(name))
        return {};
    const QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull())
        return {};
    const QPixmap pixmap = icon.pixmap(QSize(pixels, pixels));
    if (pixmap.isNull())
        return {};
    return scaledPixmap(pixmap.toImage(), pixels, scale);
}

} // namespace

AppIconProvider::AppIconProvider(Workspace* workspace, IconNameLookup iconNames)
    : workspace_(workspace), iconNames_(std::move(iconNames)) {}

QPixmap AppIconProvider::icon(const SpaceAppDetail& app, int size, qreal scale) const {
    const int pixels = int(std::ceil(size * scale));
    const auto key = std::make_tuple(app.bundleID, pixels);
    if (const auto it = cache_.find(key); it != cache_.end()) {
        QPixmap cached = it->second;
        cached.setDevicePixelRatio(scale);
        return cached;
    }
    QPixmap pixmap = load(app, size, scale);
    if (cache_.size() >= kMaxCachedIcons)
        cache_.clear();
    cache_.emplace(key, pixmap);
    return pixmap;
}

ImageRef AppIconProvider::appIcon(const SpaceAppDetail& app, int pixels) const {
    const QImage image =
        icon(app, pixels, 1).toImage().convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    Bitmap bitmap{image.width(), image.height(), {}};
    bitmap.rgba.reserve(std::size_t(image.width()) * std::size_t(image.height()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = image.constScanLine(y);
        bitmap.rgba.insert(bitmap.rgba.end(), row, row + std::size_t(image.width()) * 4);
    }
    const Size size{double(image.width()), double(image.height())};
    return Image::fromBitmap(size, std::move(bitmap), app.bundleID);
}

QPixmap AppIconProvider::load(const SpaceAppDetail& app, int size, qreal scale) const {
    const int pixels = int(std::ceil(size * scale));
    if (iconNames_) {
        if (const auto name = iconNames_(app.bundleID)) {
            if (auto pixmap = themePixmap(*name, pixels, scale); !pixmap.isNull())
                return pixmap;
        }
    }
    if (workspace_) {
        if (const ImageRef windowIcon = workspace_->applicationIcon(app.pid)) {
            if (const QImage image = bitmapImage(*windowIcon); !image.isNull())
                return scaledPixmap(image, pixels, scale);
        }
    }
    return initialTile(app.appName, app.bundleID, size, scale);
}

QPixmap AppIconProvider::initialTile(const std::string& name, const std::string& key, int size,
                                     qreal scale) {
    const int pixels = int(std::ceil(size * scale));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    // The hue follows the app key, so that an app keeps its colour from panel to panel.
    const int hue = int(std::hash<std::string>{}(key) % 360);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, QColor::fromHsl(hue, 150, 150));
    fill.setColorAt(1, QColor::fromHsl(hue, 140, 105));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
    const QString text = QString::fromStdString(name).trimmed();
    const QString initial = text.isEmpty() ? QStringLiteral("?") : text.left(1).toUpper();
    QFont font;
    font.setPixelSize(std::max(1, int(std::lround(size * 0.58))));
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, initial);
    return pixmap;
}

} // namespace tidemark::ui
