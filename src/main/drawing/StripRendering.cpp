#include "main/drawing/StripRendering.h"

#include "app/AppDelegate.h"
#include "foundation/Text.h"
#include "icon/ArtworkCatalog.h"
#include "icon/IconCreator.h"
#include "platform/sim/SimPlatform.h"
#include "ui/ImageRenderer.h"

#include <QImageWriter>
#include <QSaveFile>
#include <QString>
#include <cmath>
#include <iostream>

namespace tidemark::cli {
namespace {

// Sums of tenths of points (31.2 + 2.5) are not exact in binary; print what was meant.
double points(double value) {
    return std::round(value * 1e6) / 1e6;
}

} // namespace

RenderedStrip renderFirstSnapshot(sim::Scenario scenario) {
    static const ArtworkCatalog catalog;
    RenderedStrip strip;
    strip.platform = std::make_shared<sim::SimPlatform>(std::move(scenario));
    auto& platform = *strip.platform;
    auto delegate = AppDelegate::create(platform.services());
    delegate->applicationDidFinishLaunching();
    IconCreator creator(platform.settings, catalog,
                        [&platform] { return platform.workspace.effectiveAppearance(); });
    strip.layout = creator.createIcon(delegate->latestSpaces());
    strip.appearance = platform.workspace.effectiveAppearance();
    return strip;
}

QImage stripPixels(const RenderedStrip& strip, double scale) {
    return ui::renderImage(*strip.layout->image, scale, ui::stripForeground(strip.appearance));
}

nlohmann::ordered_json layoutReport(const RenderedStrip& strip) {
    nlohmann::ordered_json rects = nlohmann::ordered_json::object();
    // In strip order, left to right, rather than by identifier.
    std::vector<std::pair<std::string, Rect>> ordered(strip.layout->spaceRects.begin(),
                                                      strip.layout->spaceRects.end());
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return a.second.minX() < b.second.minX();
    });
    for (const auto& [id, rect] : ordered)
        rects[id] = {points(rect.minX()), points(rect.minY()), points(rect.width()),
                     points(rect.height())};
    nlohmann::ordered_json report;
    report["width"] = points(strip.layout->image->size().width);
    report["height"] = points(strip.layout->image->size().height);
    report["template"] = strip.layout->image->isTemplate();
    report["displayCount"] = strip.layout->displayCount;
    report["rects"] = std::move(rects);
    return report;
}

std::optional<double> parseScale(const Invocation& call, std::string_view command) {
    const auto text = call.option("--scale");
    if (!text)
        return 1.0;
    try {
        std::size_t used = 0;
        const double scale = std::stod(*text, &used);
        if (used == text->size() && std::isfinite(scale) && scale > 0 && scale <= kMaxScale)
            return scale;
    } catch (const std::exception&) {
    }
    std::cerr << "tidemark " << command << ": --scale wants a number above 0 and at most "
              << kMaxScale << ", not '" << *text << "'\n";
    return std::nullopt;
}

namespace {

// Nothing on success, else why the file could not be written.
std::optional<std::string> savePng(const QImage& pixels, const std::string& file) {
    // A strip without spaces is 0 points wide; PNG needs a pixel, so it gets a clear one.
    QImage image = pixels;
    if (image.isNull())
        image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied), image.fill(Qt::transparent);
    // Written beside the target and renamed over it on success, so a failed write leaves an
    // existing file as it was.
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString().toStdString();
    QImageWriter writer(&out, "PNG");
    if (!writer.write(image)) {
        out.cancelWriting();
        return "the PNG encoder refused the " + std::to_string(image.width()) + "x" +
               std::to_string(image.height()) + " image (" + writer.errorString().toStdString() +
               ")";
    }
    if (!out.commit())
        return out.errorString().toStdString();
    return std::nullopt;
}

} // namespace

bool writePng(const QImage& pixels, const std::string& file, std::string_view command) {
    const auto error = savePng(pixels, file);
    if (!error)
        return true;
    std::cerr << "tidemark " << command << ": cannot write '" << text::printable(file)
              << "': " << text::printable(*error) << "\n";
    return false;
}

} // namespace tidemark::cli
