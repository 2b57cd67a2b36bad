#include "ui/PreferencesWindow.h"

#include "preferences/Constants.h"
#include "ui/AboutView.h"
#include "ui/AppIcon.h"
#include "ui/Typography.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tidemark::ui {
namespace {

QColor toQColor(Color color) {
    return QColor::fromRgbF(float(color.red), float(color.green), float(color.blue),
                            float(color.alpha));
}

Color fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

// The blurred header of the platform, approximated by a tint of the window colour.
class HeaderBackground final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor tint = palette().color(QPalette::WindowText);
        tint.setAlphaF(0.05);
        painter.fillRect(rect(), tint);
    }
};

QLabel* sectionTitle(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(styledFont(TextStyle::Title2, QFont::DemiBold));
    return label;
}

QWidget* header(PreferencesWindow* window) {
    auto* header = new HeaderBackground(window);
    header->setFixedHeight(60);
    // The window's width: the sections below take what the header leaves them.
    header->setMinimumWidth(PreferencesWindow::kWidth);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(20, 0, 18, 0);
    row->setSpacing(8);

    auto* icon = new QLabel(header);
    icon->setPixmap(appIcon(40, window->devicePixelRatioF()));
    icon->setFixedSize(40, 40);
    row->addWidget(icon, 0, Qt::AlignVCenter);

    row->addLayout(nameAndVersion(header, styledFont(TextStyle::Headline),
                                  styledFont(TextStyle::Subheadline)));
    row->addStretch();

    auto* website = new QPushButton(QStringLiteral("Website"), header);
    website->setFlat(true);
    website->setCursor(Qt::PointingHandCursor);
    QFont linkFont = styledFont(TextStyle::Body);
    linkFont.setPixelSize(12);
    website->setFont(linkFont);
    website->setStyleSheet(
        QStringLiteral("QPushButton { border: none; padding: 0; color: palette(link); }"));
    QObject::connect(website, &QPushButton::clicked, [] {
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(constants::kWebsiteURL)));
    });
    row->addWidget(website, 0, Qt::AlignVCenter);
    return header;
}

} // namespace

PreferencesWindow::PreferencesWindow(PreferencesModel& model, QWidget* parent)
    // A normal window that the window manager decorates, closes and moves.
    : QWidget(parent, Qt::Window), model_(model) {
    setWindowTitle(QStringLiteral("Tidemark Preferences"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // As large as the sections, which grow when one is added.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->addWidget(header(this));
    outer->addWidget(makeDivider(this));

    auto* content = new QWidget(this);
    auto* sections = sections_ = new QVBoxLayout(content);
    sections->setContentsMargins(20, 16, 20, 16);
    sections->setSpacing(12);

    sections->addWidget(sectionTitle("General", content));
    launchAtLogin_ = new QCheckBox(QStringLiteral("Launch Tidemark at login"), content);
    sections->addWidget(launchAtLogin_);
    if (const auto hint = model_.launchAtLoginHint()) {
        auto* line = new QLabel(QString::fromStdString(*hint), content);
        line->setTextFormat(Qt::PlainText);
        line->setWordWrap(true);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        line->setFont(styledFont(TextStyle::Caption));
        sections->addWidget(line);
    }
    sections->addWidget(makeDivider(content));

    sections->addWidget(sectionTitle("Spaces", content));
    auto* styleRow = new QHBoxLayout;
    styleRow->addWidget(new QLabel(QStringLiteral("Style"), content));
    style_ = new QComboBox(content);
    for (const auto style : kAllSkywardStyles)
        style_->addItem(QString::fromUtf8(label(style).data(), int(label(style).size())),
                        QVariant::fromValue(qint64(rawValue(style))));
    styleRow->addWidget(style_, 1);
    sections->addLayout(styleRow);
    borders_ = new QCheckBox(QStringLiteral("Pronounced borders (outline)"), content);
    sections->addWidget(borders_);
    hoverPopup_ = new QCheckBox(QStringLiteral("Show hover popup"), content);
    sections->addWidget(hoverPopup_);
    scrollSwitches_ =
        new QCheckBox(QStringLiteral("Scroll over the strip to switch spaces"), content);
    sections->addWidget(scrollSwitches_);
    sections->addWidget(makeDivider(content));

    sections->addWidget(sectionTitle("Appearance", content));
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(QStringLiteral("Active space color"), content));
    colorWell_ = new QToolButton(content);
    colorWell_->setFixedSize(44, 24);
    colorWell_->setToolTip(QStringLiteral("Active space color"));
    colorWell_->setObjectName(QStringLiteral("activeSpaceColor"));
    colorRow->addWidget(colorWell_);
    resetColor_ = new QPushButton(QStringLiteral("Reset to Default"), content);
    resetColor_->setFlat(true);
    resetColor_->setFont(styledFont(TextStyle::Caption));
    QPalette dim = resetColor_->palette();
    dim.setColor(QPalette::ButtonText, secondaryTextColor(*resetColor_));
    resetColor_->setPalette(dim);
    colorRow->addWidget(resetColor_);
    colorRow->addStretch();
    sections->addLayout(colorRow);
    outer->addWidget(content);

    connect(launchAtLogin_, &QCheckBox::toggled, this,
            [this](bool on) { model_.setLaunchAtLogin(on); });
    connect(style_, &QComboBox::activated, this, [this](int index) {
        if (const auto style = skywardStyleFromRawValue(style_->itemData(index).toLongLong()))
            model_.setSelectedStyle(*style);
    });
    connect(borders_, &QCheckBox::toggled, this,
            [this](bool on) { model_.setUseHighContrastBorders(on); });
    connect(hoverPopup_, &QCheckBox::toggled, this,
            [this](bool on) { model_.setHoverPopupEnabled(on); });
    connect(scrollSwitches_, &QCheckBox::toggled, this,
            [this](bool on) { model_.setScrollSwitchesSpaces(on); });
    connect(colorWell_, &QToolButton::clicked, this, &PreferencesWindow::openColorPanel);
    connect(resetColor_, &QPushButton::clicked, this, [this] {
        if (colorPanel_ && colorPanel_->isVisible())
            colorPanel_->accept();
        model_.resetActiveColor();
    });

    modelToken_ = model_.observeChanges([this] { refresh(); });
    refresh();
}

void PreferencesWindow::refresh() {
    const QSignalBlocker blockLogin(launchAtLogin_), blockStyle(style_), blockBorders(borders_),
        blockHover(hoverPopup_), blockScroll(scrollSwitches_);
    launchAtLogin_->setChecked(model_.launchAtLogin());
    style_->setCurrentIndex(style_->findData(qint64(rawValue(model_.selectedStyle()))));
    borders_->setChecked(model_.useHighContrastBorders());
    hoverPopup_->setChecked(model_.hoverPopupEnabled());
    scrollSwitches_->setChecked(model_.scrollSwitchesSpaces());
    const QColor color = toQColor(model_.activeSpaceColor());
    colorWell_->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid "
                                             "palette(mid); border-radius: 4px; }")
                                  .arg(color.name(QColor::HexArgb)));
    resetColor_->setVisible(model_.hasCustomColor());
    placeColorPanel();
}

void PreferencesWindow::present(const QRect& screenGeometry) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screenGeometry.center());
    move(frame.topLeft());
    show();
    raise();
    activateWindow();
}

void PreferencesWindow::appearanceDidChange() {
    model_.appearanceDidChange();
}

void PreferencesWindow::addShortcutRecorder(KeyBindings::ShortcutRecorder& recorder,
                                            ShortcutRecorderField::KeyCodeTranslator translate) {
    auto* content = sections_->parentWidget();
    sections_->addWidget(makeDivider(content));
    sections_->addWidget(sectionTitle("Keyboard", content));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Refresh spaces"), content));
    auto* field = new ShortcutRecorderField(recorder, std::move(translate), content);
    field->setObjectName(QStringLiteral("refreshShortcut"));
    row->addWidget(field);
    row->addStretch();
    sections_->addLayout(row);
}

void PreferencesWindow::addShortcutBindingLine(const std::string& configFile,
                                               const std::string& line) {
    auto* content = sections_->parentWidget();
    sections_->addWidget(makeDivider(content));
    sections_->addWidget(sectionTitle("Keyboard", content));
    auto* intro = new QLabel(
        QString::fromStdString("To refresh the spaces with a shortcut, add this line to " +
                               configFile + ":"),
        content);
    intro->setWordWrap(true);
    sections_->addWidget(intro);
    auto* binding = new QLabel(QString::fromStdString(line), content);
    binding->setObjectName(QStringLiteral("refreshBinding"));
    binding->setTextFormat(Qt::PlainText);
    binding->setTextInteractionFlags(Qt::TextSelectableByMouse);
    binding->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    sections_->addWidget(binding);
}

void PreferencesWindow::showEvent(QShowEvent* event) {
    model_.loadActiveColor();
    QWidget::showEvent(event);
}

void PreferencesWindow::moveEvent(QMoveEvent* event) {
    placeColorPanel();
    QWidget::moveEvent(event);
}

void PreferencesWindow::openColorPanel() {
    if (!colorPanel_) {
        colorPanel_ = new QColorDialog(this);
        // Qt's own dialog reports every change as it happens, so the strip shows it at once.
        colorPanel_->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
        colorPanel_->setWindowTitle(QStringLiteral("Active space color"));
        connect(colorPanel_, &QColorDialog::currentColorChanged, this, [this](const QColor& c) {
            if (fromQColor(c) != model_.activeSpaceColor())
                model_.saveActiveColor(fromQColor(c));
        });
        // Cancel (or Escape, or closing it) takes back what was tried since it opened.
        connect(colorPanel_, &QDialog::rejected, this, [this] {
            if (colorBeforePanel_)
                model_.saveActiveColor(*colorBeforePanel_);
            else
                model_.resetActiveColor();
        });
    }
    if (colorPanel_->isVisible())
        return colorPanel_->raise();
    colorBeforePanel_.reset();
    if (model_.hasCustomColor())
        colorBeforePanel_ = model_.activeSpaceColor();
    {
        const QSignalBlocker quiet(colorPanel_.data());
        colorPanel_->setCurrentColor(toQColor(model_.activeSpaceColor()));
    }
    colorPanel_->show();
    placeColorPanel();
}

void PreferencesWindow::placeColorPanel() {
    if (!colorPanel_ || !colorPanel_->isVisible())
        return;
    const QRect window = frameGeometry();
    const int y = std::max(0, window.center().y() - colorPanel_->frameGeometry().height() / 2);
    colorPanel_->move(window.right() + 1 + 12, y);
}

} // namespace tidemark::ui
