#pragma once

#include "popover/SpacePopoverViewModel.h"

#include <QBoxLayout>
#include <QWidget>

namespace tidemark::ui {

class AppIconProvider;
class MemoryBar;
class PopoverButton;

// What the sections of the popover are built from: the model they show and call, the app
// icons, the widget they go into, and the two controls that outlive a rebuild (so that the
// bar's animation and the sleep button's hover survive it).
struct SectionContext {
    SpacePopoverViewModel& model;
    const AppIconProvider& icons;
    QWidget* parent;
    PopoverButton* sleepButton;
    MemoryBar* memoryBar;
};

// Every section, top to bottom, for a model whose `space` is present.
void addSections(QVBoxLayout& column, const SectionContext& context);

// The sleep control of the header.
PopoverButton* makeSleepButton(QWidget* parent);

// "N process" followed by "es" unless N is exactly 1.
QString processCount(const char* lead, std::int64_t count);

} // namespace tidemark::ui
