#pragma once

#include <QFont>
#include <QVBoxLayout>
#include <QWidget>

namespace tidemark::ui {

// The identity panel at the top of the menu: the icon (a link to the website), the name
// and the version, centred in 220 × 110.
class AboutView final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{220, 110};

    explicit AboutView(QWidget* parent = nullptr);
};

// "Tidemark" over "Version …" in the secondary colour, centred vertically; the about view
// and the preferences header use it in their own fonts.
QVBoxLayout* nameAndVersion(QWidget* parent, const QFont& nameFont, const QFont& versionFont);

} // namespace tidemark::ui
