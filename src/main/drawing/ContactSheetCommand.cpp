#include "icon/SkywardStyle.h"
#include "main/Commands.h"
#include "main/drawing/StripRendering.h"
#include "platform/linux/session/SessionFiles.h"
#include "preferences/SettingsKeys.h"
#include "ui/GuiApplication.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace tidemark::cli {
namespace {

// One look of the strip beyond its style.
struct Variant {
    const char* label;
    bool pronouncedBorders;
    bool customColour;
    // The second space of each display asks for attention, as a window manager may say.
    bool urgent = false;
};

constexpr Variant kVariants[] = {
    {"plain", false, false},
    {"pronounced borders", true, false},
    {"custom colour", false, true},
    {"urgent spaces", false, false, true},
};

// A warm orange that reads on both bars.
const ValueArray kCustomColour{0.95, 0.55, 0.15, 0.9};

// Menu-bar backgrounds the strips sit on.
const QColor kDarkBar(38, 38, 42);
const QColor kLightBar(236, 236, 236);
const QColor kSheetBackground(255, 255, 255);
const QColor kLabelColour(60, 60, 60);

sim::Scenario variantOf(const sim::Scenario& base, SkywardStyle style, const Variant& variant,
                        Appearance appearance) {
    sim::Scenario scenario = base;
    scenario.appearance = appearance;
    scenario.settings.insert_or_assign(settings::kDisplayStyle, Value(rawValue(style)));
    scenario.settings.insert_or_assign(settings::kUseHighContrastBorders,
                                       Value(variant.pronouncedBorders));
    if (variant.customColour)
        scenario.settings.insert_or_assign(settings::kActiveSpaceColor, Value(kCustomColour));
    else
        scenario.settings.erase(std::string(settings::kActiveSpaceColor));
    if (variant.urgent && scenario.displays) {
        auto displays = *scenario.displays;
        for (auto& display : displays)
            if (display.spaces.size() > 1)
                display.spaces[1].isUrgent = true;
        scenario.displays = std::make_shared<const std::vector<Display>>(std::move(displays));
    }
    return scenario;
}

struct Row {
    std::string label;
    QImage dark;
    QImage light;
};

QImage composeSheet(const std::vector<Row>& rows, double scale) {
    const int padding = static_cast<int>(6 * scale);
    const int labelWidth = static_cast<int>(240 * scale);
    int stripWidth = 0;
    int rowHeight = static_cast<int>(14 * scale);
    for (const auto& row : rows) {
        stripWidth = std::max({stripWidth, row.dark.width(), row.light.width()});
        rowHeight = std::max({rowHeight, row.dark.height(), row.light.height()});
    }
    const int cellWidth = stripWidth + 2 * padding;
    const int cellHeight = rowHeight + 2 * padding;
    const int header = static_cast<int>(18 * scale);
    QImage sheet(labelWidth + 2 * cellWidth + 2 * padding,
                 header + static_cast<int>(rows.size()) * (cellHeight + padding),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kSheetBackground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(static_cast<int>(10 * scale));
    painter.setFont(font);
    painter.setPen(kLabelColour);
    painter.drawText(QRect(labelWidth, 0, cellWidth, header), Qt::AlignCenter, "dark");
    painter.drawText(QRect(labelWidth + cellWidth + padding, 0, cellWidth, header), Qt::AlignCenter,
                     "light");
    int y = header;
    for (const auto& row : rows) {
        painter.setPen(kLabelColour);
        painter.drawText(QRect(padding, y, labelWidth - padding, cellHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(row.label));
        const std::pair<const QImage*, QColor> cells[] = {{&row.dark, kDarkBar},
                                                          {&row.light, kLightBar}};
        int x = labelWidth;
        for (const auto& [image, bar] : cells) {
            painter.fillRect(QRect(x, y, cellWidth, cellHeight), bar);
            painter.drawImage(x + padding, y + padding + (rowHeight - image->height()) / 2, *image);
            x += cellWidth + padding;
        }
        y += cellHeight + padding;
    }
    return sheet;
}

} // namespace

int runContactSheet(Invocation call) {
    const auto scale = parseScale(call, "contact-sheet");
    if (!scale)
        return kExitUsage;
    const auto& base = call.scenario;

    ui::ensureGuiApplication(linux_platform::runtimeFolderFallback());
    std::vector<Row> rows;
    for (const auto style : kAllSkywardStyles) {
        for (const auto& variant : kVariants) {
            Row row;
            row.label = std::string(label(style)) + ", " + variant.label;
            row.dark = stripPixels(
                renderFirstSnapshot(variantOf(*base, style, variant, Appearance::Dark)), *scale);
            row.light = stripPixels(
                renderFirstSnapshot(variantOf(*base, style, variant, Appearance::Light)), *scale);
            rows.push_back(std::move(row));
        }
    }
    return writePng(composeSheet(rows, *scale), *call.option("--out"), "contact-sheet")
               ? kExitOk
               : kExitFailure;
}

} // namespace tidemark::cli
