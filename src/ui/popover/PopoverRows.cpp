#include "ui/popover/PopoverRows.h"

#include "system/MemoryProvider.h"
#include "ui/popover/AppIconProvider.h"
#include "ui/popover/PopoverButton.h"
#include "ui/popover/PopoverStyle.h"
#include "ui/popover/PopoverText.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace tidemark::ui {
namespace {

constexpr int kAppIconSize = 20;
constexpr int kAppCloseSize = 20;
constexpr int kResidualCloseSize = 18;
constexpr int kHoverMilliseconds = 100;

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// Every memory figure in the one monospaced face, so that figures in a column line up. A
// process's figure is its resident set; the tooltip says so, since tools differ in what they
// call a process's memory.
PopoverText* memoryText(std::uint64_t bytes, int size, QWidget* parent) {
    auto* figure = new PopoverText(
        qText(MemoryProvider::formatBytes(bytes)), popoverFont(size, QFont::Normal, true),
        [](const QWidget& w) { return secondaryColor(w); }, parent);
    figure->setToolTip(QStringLiteral("Resident memory (RSS): the RAM the process holds now, "
                                      "shared libraries included, as ps and top show it"));
    return figure;
}

} // namespace

PopoverButton* makeCloseControl(int size, const QString& help, QWidget* parent) {
    ButtonLook look;
    look.symbol = Symbol::XMark;
    look.symbolSize = 8;
    look.symbolBold = true;
    look.frame = QSizeF(size, size);
    look.shape = ButtonLook::Shape::Circle;
    look.hoverMilliseconds = kHoverMilliseconds;
    look.foreground = [](const QWidget& w, qreal hover) {
        return blend(secondaryColor(w, 0.7), namedColor(NamedColor::Red, w), hover);
    };
    look.background = [](const QWidget& w, qreal hover) {
        return blend(primaryColor(w, 0.08), namedColor(NamedColor::Red, w, 0.18), hover);
    };
    auto* button = new PopoverButton(std::move(look), parent);
    button->setToolTip(help);
    return button;
}

SpaceAppRow::SpaceAppRow(const SpaceAppDetail& detail, std::optional<std::uint64_t> memoryBytes,
                         std::function<void()> onClose, const AppIconProvider& icons,
                         QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    row->setSpacing(8);

    // Drawn at the pixel ratio of whatever it paints on (a screen, an offscreen picture).
    row->addWidget(new PopoverPicture(
        QSize(kAppIconSize, kAppIconSize),
        [&icons, detail](QPainter& p, const QWidget&) {
            const QPixmap icon = icons.icon(detail, kAppIconSize, pixelRatio(p));
            QPainterPath clip;
            clip.addRoundedRect(0, 0, kAppIconSize, kAppIconSize, 4, 4);
            p.setClipPath(clip);
            p.drawPixmap(QRectF(0, 0, kAppIconSize, kAppIconSize), icon, QRectF(icon.rect()));
        },
        this));
    auto* name = new PopoverText(
        qText(detail.appName), popoverFont(12), [](const QWidget& w) { return primaryColor(w); },
        this);
    row->addWidget(name, 1);
    if (memoryBytes)
        row->addWidget(memoryText(*memoryBytes, 11, this));
    if (onClose) {
        close_ =
            makeCloseControl(kAppCloseSize, QStringLiteral("Quit ") + qText(detail.appName), this);
        close_->setObjectName(QStringLiteral("quitApp:%1").arg(detail.pid));
        connect(close_, &QAbstractButton::clicked, this,
                [onClose = std::move(onClose)] { onClose(); });
        row->addWidget(close_);
    } else {
        row->addSpacing(kAppCloseSize);
    }
}

ResidualProcessRow::ResidualProcessRow(const ResidualProcess& process,
                                       std::function<void()> onClose, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 1, 0, 1);
    row->setSpacing(6);
    row->addWidget(new PopoverPicture(
        QSize(5, 5),
        [](QPainter& p, const QWidget& w) {
            p.setPen(Qt::NoPen);
            p.setBrush(namedColor(NamedColor::Orange, w, 0.6));
            p.drawEllipse(QRectF(0, 0, 5, 5));
        },
        this));
    row->addWidget(new PopoverText(
                       qText(process.name), popoverFont(11),
                       [](const QWidget& w) { return primaryColor(w); }, this),
                   1);
    if (process.memoryBytes)
        row->addWidget(memoryText(*process.memoryBytes, 10, this));
    close_ = makeCloseControl(kResidualCloseSize,
                              QStringLiteral("Terminate ") + qText(process.name), this);
    close_->setObjectName(QStringLiteral("terminateResidual:%1").arg(process.id));
    connect(close_, &QAbstractButton::clicked, this, [onClose = std::move(onClose)] { onClose(); });
    row->addWidget(close_);
}

} // namespace tidemark::ui
