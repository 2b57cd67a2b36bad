#include "ui/QtFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <map>
#include <tuple>

namespace tidemark::ui {
namespace {

bool hasTabularDigits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const double zero = metrics.horizontalAdvance(QChar(u'0'));
    for (char16_t digit = u'1'; digit <= u'9'; ++digit)
        if (metrics.horizontalAdvance(QChar(digit)) != zero)
            return false;
    return true;
}

QFont makeFont(const Font& font) {
    QFont result = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Points of the image are pixels of a 72 dpi device before scaling.
    result.setPointSizeF(font.pointSize);
    result.setWeight(font.weight == FontWeight::Bold ? QFont::Bold : QFont::Normal);
    if (font.monospacedDigits && !hasTabularDigits(result)) {
        const QString family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        result.setFamily(family);
    }
    return result;
}

} // namespace

const QFont& systemFont(const Font& font) {
    static std::map<std::tuple<double, int, bool>, QFont> fonts;
    const auto key =
        std::make_tuple(font.pointSize, static_cast<int>(font.weight), font.monospacedDigits);
    auto it = fonts.find(key);
    if (it == fonts.end())
        it = fonts.emplace(key, makeFont(font)).first;
    return it->second;
}

} // namespace tidemark::ui
