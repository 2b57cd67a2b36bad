#include "ui/popover/PopoverSections.h"

#include "system/MemoryProvider.h"
#include "ui/Typography.h"
#include "ui/popover/MemoryBar.h"
#include "ui/popover/PopoverButton.h"
#include "ui/popover/PopoverRows.h"
#include "ui/popover/PopoverStyle.h"
#include "ui/popover/PopoverText.h"

#include <QHBoxLayout>
#include <QPainter>
#include <map>

namespace tidemark::ui {
namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

PopoverText::Paint secondary(qreal opacity = 1) {
    return [opacity](const QWidget& w) { return secondaryColor(w, opacity); };
}

PopoverText::Paint primary(qreal opacity = 1) {
    return [opacity](const QWidget& w) { return primaryColor(w, opacity); };
}

PopoverText* text(const QString& value, QFont font, PopoverText::Paint color, QWidget* parent) {
    return new PopoverText(value, std::move(font), std::move(color), parent);
}

PopoverPicture* symbol(Symbol which, int size, std::function<QColor(const QWidget&)> color,
                       QWidget* parent) {
    return new PopoverPicture(
        QSize(size, size),
        [which, size, color = std::move(color)](QPainter& p, const QWidget& w) {
            p.drawPixmap(QPointF(0, 0), symbolPixmap(which, size, color(w), pixelRatio(p)));
        },
        parent);
}

QHBoxLayout* row(int spacing, QMargins margins = {}) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(margins);
    return layout;
}

QVBoxLayout* column(int spacing, QMargins margins = {}) {
    auto* layout = new QVBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(margins);
    return layout;
}

void addDivider(QVBoxLayout& layout, QWidget* parent) {
    auto* inset = row(0, QMargins(12, 0, 12, 0));
    inset->addWidget(makeDivider(parent));
    layout.addLayout(inset);
}

// Symbol at 10 and title at 11 medium, in the secondary colour.
QHBoxLayout* titleRow(Symbol which, const char* title, QWidget* parent, QMargins margins = {}) {
    auto* layout = row(5, margins);
    layout->addWidget(symbol(which, 10, secondary(), parent), 0, Qt::AlignVCenter);
    layout->addWidget(
        text(QString::fromUtf8(title), popoverFont(11, QFont::Medium), secondary(), parent));
    layout->addStretch();
    return layout;
}

PopoverButton* button(ButtonLook look, const char* name, const char* help, QWidget* parent,
                      std::function<void()> action) {
    auto* control = new PopoverButton(std::move(look), parent);
    control->setObjectName(QString::fromLatin1(name));
    if (help)
        control->setToolTip(QString::fromUtf8(help));
    QObject::connect(control, &QAbstractButton::clicked, parent, std::move(action));
    return control;
}

PopoverButton* closeAllButton(SpacePopoverViewModel& model, QWidget* parent) {
    return button(pillLook(QStringLiteral("Close All")), "quitAll",
                  "Quit all closable apps on all desktops", parent,
                  [&model] { model.quitAllClosableApps(); });
}

PopoverButton* dismissButton(const char* label, SpacePopoverViewModel& model, QWidget* parent) {
    return button(pillLook(QString::fromUtf8(label)), "dismissResidual", nullptr, parent,
                  [&model] { model.dismissResidualList(); });
}

QHBoxLayout* trailing(QWidget* control, QMargins margins) {
    auto* layout = row(0, margins);
    layout->addStretch();
    layout->addWidget(control);
    return layout;
}

void addHeader(QVBoxLayout& layout, const Space& space, const SectionContext& c) {
    auto* header = row(8, QMargins(12, 8, 12, 8));
    const bool current = space.isCurrentSpace;
    header->addWidget(new PopoverPicture(
                          QSize(8, 8),
                          [current](QPainter& p, const QWidget& w) {
                              p.setPen(Qt::NoPen);
                              p.setBrush(current ? namedColor(NamedColor::Green, w)
                                                 : namedColor(NamedColor::Gray, w, 0.4));
                              p.drawEllipse(QRectF(0, 0, 8, 8));
                          },
                          c.parent),
                      0, Qt::AlignVCenter);
    header->addWidget(text(QString::fromStdString(panelTitle(space)),
                           popoverFont(13, QFont::DemiBold), primary(), c.parent));
    if (space.isFullScreen) {
        ButtonLook badge;
        badge.text = QStringLiteral("Fullscreen");
        badge.textSize = 10;
        badge.padding = QMarginsF(6, 2, 6, 2);
        badge.shape = ButtonLook::Shape::Capsule;
        badge.foreground = [](const QWidget& w, qreal) { return secondaryColor(w); };
        badge.background = [](const QWidget& w, qreal) { return secondaryColor(w, 0.12); };
        auto* view = new PopoverButton(std::move(badge), c.parent);
        view->setAttribute(Qt::WA_TransparentForMouseEvents);
        header->addWidget(view, 0, Qt::AlignVCenter);
    }
    header->addStretch();
    header->addWidget(c.sleepButton, 0, Qt::AlignVCenter);
    c.sleepButton->show();
    layout.addLayout(header);
}

SpaceAppRow* appRow(const SpaceAppDetail& detail, const MemoryMap& memory,
                    const SectionContext& c) {
    std::optional<std::uint64_t> bytes;
    if (const auto it = memory.find(detail.pid); it != memory.end())
        bytes = it->second;
    std::function<void()> onClose;
    if (c.model.isClosable(detail))
        onClose = [&model = c.model, pid = detail.pid] { model.quitApp(pid); };
    auto* view = new SpaceAppRow(detail, bytes, std::move(onClose), c.icons, c.parent);
    view->setObjectName(QStringLiteral("app:%1").arg(detail.pid));
    return view;
}

void addApps(QVBoxLayout& layout, const Space& space, const SectionContext& c) {
    if (space.appDetails.empty()) {
        auto* empty = column(6, QMargins(0, 20, 0, 20));
        empty->addWidget(symbol(Symbol::Window, 20, secondary(0.4), c.parent), 0, Qt::AlignHCenter);
        empty->addWidget(
            text(QStringLiteral("No apps on this space"), popoverFont(11), secondary(), c.parent),
            0, Qt::AlignHCenter);
        layout.addLayout(empty);
        return;
    }
    auto* rows = column(2, QMargins(6, 6, 6, 6));
    for (const auto& detail : space.appDetails)
        rows->addWidget(appRow(detail, c.model.appMemoryMap(), c));
    if (c.model.otherApps().empty() && c.model.hasClosableApps())
        rows->addLayout(trailing(closeAllButton(c.model, c.parent), QMargins(0, 4, 6, 2)));
    layout.addLayout(rows);
}

void addOtherDesktops(QVBoxLayout& layout, const SectionContext& c) {
    const auto& others = c.model.otherApps();
    if (others.empty())
        return;
    addDivider(layout, c.parent);
    auto* block = column(6);
    block->addLayout(
        titleRow(Symbol::OtherDesktops, "Other Desktops", c.parent, QMargins(12, 6, 12, 0)));
    auto* rows = column(2, QMargins(6, 0, 6, 0));
    for (const auto& detail : others) {
        auto* view = appRow(detail, c.model.otherAppMemoryMap(), c);
        view->setObjectName(QStringLiteral("otherApp:%1").arg(detail.pid));
        rows->addWidget(view);
    }
    block->addLayout(rows);
    if (c.model.hasClosableApps())
        block->addLayout(trailing(closeAllButton(c.model, c.parent), QMargins(12, 0, 12, 6)));
    else
        block->addSpacing(6);
    layout.addLayout(block);
}

void addSystemMemory(QVBoxLayout& layout, const SectionContext& c) {
    const auto& memory = c.model.systemMemory();
    if (!memory)
        return;
    auto* block = column(8, QMargins(12, 8, 12, 8));
    block->addLayout(titleRow(Symbol::MemoryChip, "System Memory", c.parent));
    c.memoryBar->setFill(memoryFill(memory->used, memory->total));
    block->addWidget(c.memoryBar);
    c.memoryBar->show();
    auto* figures = row(0);
    auto* used = text(qText(MemoryProvider::formatBytes(memory->used)) + QStringLiteral(" used"),
                      popoverFont(10), secondary(), c.parent);
    used->setToolTip(QStringLiteral("The memory new programs cannot have without swapping "
                                    "(total less available), as free shows it"));
    figures->addWidget(used);
    figures->addStretch();
    figures->addWidget(
        text(QStringLiteral("of ") + qText(MemoryProvider::formatBytes(memory->total)),
             popoverFont(10), secondary(), c.parent));
    block->addLayout(figures);
    block->addWidget(text(QStringLiteral("All apps & system processes"), popoverFont(9),
                          secondary(0.7), c.parent));
    layout.addLayout(block);
}

PopoverButton* scanButton(const SectionContext& c) {
    const bool scanning = c.model.isScanning();
    ButtonLook look;
    look.spinner = scanning;
    look.symbol = Symbol::WandAndStars;
    look.text = scanning ? QStringLiteral("Scanning…") : QStringLiteral("Clean RAM");
    look.padding = QMarginsF(10, 5, 10, 5);
    look.foreground = [](const QWidget& w, qreal) { return secondaryColor(w); };
    look.background = [](const QWidget& w, qreal) { return primaryColor(w, 0.06); };
    auto* control =
        button(std::move(look), "scanResidual", "Scan for leftover processes from closed apps",
               c.parent, [&model = c.model] { model.scanResidualProcesses(); });
    control->setEnabled(!scanning);
    return control;
}

PopoverButton* cleanAllButton(const SectionContext& c) {
    const bool cleaning = c.model.isScanning();
    ButtonLook look;
    look.spinner = cleaning;
    look.symbol = Symbol::Trash;
    look.symbolSize = 9;
    look.spacing = 4;
    look.text = cleaning ? QStringLiteral("Cleaning…") : QStringLiteral("Clean All");
    look.foreground = [](const QWidget& w, qreal) { return namedColor(NamedColor::White, w); };
    look.background = [](const QWidget& w, qreal) { return namedColor(NamedColor::Orange, w); };
    auto* control = button(std::move(look), "cleanAll", "Terminate all listed residual processes",
                           c.parent, [&model = c.model] { model.cleanAllResidualProcesses(); });
    control->setEnabled(!cleaning);
    return control;
}

void addCleanedLine(QVBoxLayout& block, std::int64_t count, std::uint64_t freed,
                    const SectionContext& c) {
    auto* line = row(6, QMargins(0, 4, 0, 4));
    line->addWidget(symbol(
                        Symbol::CheckmarkCircleFill, 14,
                        [](const QWidget& w) { return namedColor(NamedColor::Green, w); },
                        c.parent),
                    0, Qt::AlignVCenter);
    auto* lines = column(2);
    lines->addWidget(
        text(processCount("Cleaned ", count), popoverFont(11, QFont::Medium), primary(), c.parent));
    if (freed != 0)
        lines->addWidget(
            text(QStringLiteral("Freed ≈ ") + qText(MemoryProvider::formatBytes(freed)),
                 popoverFont(10), secondary(), c.parent));
    line->addLayout(lines);
    line->addStretch();
    line->addWidget(dismissButton("Done", c.model, c.parent), 0, Qt::AlignVCenter);
    block.addLayout(line);
}

void addNothingFound(QVBoxLayout& block, const SectionContext& c) {
    auto* line = row(6, QMargins(0, 4, 0, 4));
    line->addWidget(symbol(
                        Symbol::CheckmarkCircle, 12,
                        [](const QWidget& w) { return namedColor(NamedColor::Green, w); },
                        c.parent),
                    0, Qt::AlignVCenter);
    line->addWidget(text(QStringLiteral("No residual processes found"), popoverFont(11),
                         secondary(), c.parent));
    line->addStretch();
    line->addWidget(dismissButton("OK", c.model, c.parent), 0, Qt::AlignVCenter);
    block.addLayout(line);
}

void addResidualList(QVBoxLayout& block, const SectionContext& c) {
    const auto& processes = c.model.residualProcesses();
    std::map<std::string, std::vector<const ResidualProcess*>> groups;
    for (const auto& process : processes)
        groups[process.parentApp].push_back(&process);
    auto* list = column(4, QMargins(0, 4, 0, 4));
    for (const auto& [parentApp, members] : groups) {
        auto* group = column(2);
        auto* title =
            text(qText(parentApp), popoverFont(10, QFont::DemiBold), primary(0.7), c.parent);
        group->addSpacing(2);
        group->addWidget(title);
        for (const auto* process : members) {
            auto* view = new ResidualProcessRow(
                *process,
                [&model = c.model, id = process->id] { model.terminateResidualProcess(id); },
                c.parent);
            view->setObjectName(QStringLiteral("residual:%1").arg(process->id));
            group->addWidget(view);
        }
        list->addLayout(group);
    }
    block.addLayout(list);

    if (const auto total = ResidualProcessCleaner::totalMemory(processes); total != 0) {
        auto* summary = row(0);
        summary->addWidget(text(processCount("", std::int64_t(processes.size())), popoverFont(10),
                                secondary(), c.parent));
        summary->addStretch();
        summary->addWidget(text(
            qText(MemoryProvider::formatBytes(total)), popoverFont(10, QFont::Medium, true),
            [](const QWidget& w) { return namedColor(NamedColor::Orange, w); }, c.parent));
        block.addLayout(summary);
    }
    auto* buttons = row(8, QMargins(0, 4, 0, 0));
    buttons->addStretch();
    buttons->addWidget(dismissButton("Dismiss", c.model, c.parent), 0, Qt::AlignVCenter);
    buttons->addWidget(cleanAllButton(c), 0, Qt::AlignVCenter);
    block.addLayout(buttons);
}

void addResidualSection(QVBoxLayout& layout, const SectionContext& c) {
    if (!c.model.showResidualList()) {
        layout.addLayout(trailing(scanButton(c), QMargins(12, 6, 12, 6)));
        return;
    }
    addDivider(layout, c.parent);
    auto* block = column(6, QMargins(12, 6, 12, 6));
    block->addLayout(titleRow(Symbol::WandAndStars, "Residual Processes", c.parent));
    const auto& processes = c.model.residualProcesses();
    if (processes.empty() && c.model.lastCleanedCount())
        addCleanedLine(*block, *c.model.lastCleanedCount(), c.model.lastCleanedMemory(), c);
    else if (processes.empty())
        addNothingFound(*block, c);
    else
        addResidualList(*block, c);
    layout.addLayout(block);
}

} // namespace

QString processCount(const char* lead, std::int64_t count) {
    return QString::fromUtf8(lead) + QStringLiteral("%1 process").arg(count) +
           (count == 1 ? QString() : QStringLiteral("es"));
}

PopoverButton* makeSleepButton(QWidget* parent) {
    ButtonLook look;
    look.symbol = Symbol::MoonZzz;
    look.text = QStringLiteral("Sleep");
    look.spacing = 4;
    look.padding = QMarginsF(7, 3.5, 7, 3.5);
    look.shape = ButtonLook::Shape::Capsule;
    look.hoverMilliseconds = 100;
    look.foreground = [](const QWidget& w, qreal hover) {
        return blend(secondaryColor(w, 0.8), namedColor(NamedColor::Indigo, w), hover);
    };
    look.background = [](const QWidget& w, qreal hover) {
        return blend(primaryColor(w, 0.06), namedColor(NamedColor::Indigo, w, 0.15), hover);
    };
    auto* control = new PopoverButton(std::move(look), parent);
    control->setObjectName(QStringLiteral("sleep"));
    control->setToolTip(QStringLiteral("Sleep"));
    return control;
}

void addSections(QVBoxLayout& column, const SectionContext& context) {
    const Space& space = *context.model.space();
    addHeader(column, space, context);
    addDivider(column, context.parent);
    addApps(column, space, context);
    addOtherDesktops(column, context);
    addDivider(column, context.parent);
    addSystemMemory(column, context);
    addResidualSection(column, context);
}

} // namespace tidemark::ui
