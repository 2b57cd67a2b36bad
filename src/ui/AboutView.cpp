#include "ui/AboutView.h"

#include "preferences/Constants.h"
#include "ui/AppIcon.h"
#include "ui/Typography.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tidemark::ui {

AboutView::AboutView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSize);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addStretch();

    auto* icon = new QToolButton(this);
    icon->setAutoRaise(true);
    icon->setCursor(Qt::PointingHandCursor);
    icon->setIconSize(QSize(50, 50));
    icon->setIcon(QIcon(appIcon(50, devicePixelRatioF())));
    icon->setToolTip(QString::fromUtf8(constants::kRepositoryURL));
    icon->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    connect(icon, &QToolButton::clicked,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(constants::kRepositoryURL))); });
    row->addWidget(icon, 0, Qt::AlignVCenter);

    row->addLayout(nameAndVersion(this, styledFont(TextStyle::Title, QFont::Thin),
                                  styledFont(TextStyle::Body)));
    row->addStretch();
}

QVBoxLayout* nameAndVersion(QWidget* parent, const QFont& nameFont, const QFont& versionFont) {
    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    auto* name = new QLabel(QString::fromUtf8(constants::kAppName), parent);
    name->setFont(nameFont);
    auto* version = new QLabel(QString::fromStdString(constants::versionLine()), parent);
    version->setFont(versionFont);
    QPalette dim = version->palette();
    dim.setColor(QPalette::WindowText, secondaryTextColor(*version));
    version->setPalette(dim);
    column->addStretch();
    column->addWidget(name);
    column->addWidget(version);
    column->addStretch();
    return column;
}

} // namespace tidemark::ui
