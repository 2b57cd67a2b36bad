#pragma once

#include <QVariantAnimation>
#include <QWidget>
#include <cstdint>

namespace tidemark::ui {

// How full the system memory is, and the pressure colours of the bar's gradient.
enum class MemoryPressure { Normal, Elevated, High };

struct MemoryFill {
    double ratio = 0; // of the bar's width, 0 to 1
    MemoryPressure pressure = MemoryPressure::Normal;
};

// used ÷ total, clamped to the bar; a total of 0 reads as empty.
MemoryFill memoryFill(std::uint64_t used, std::uint64_t total);

// The system memory bar: a faint track and, from its leading edge, a gradient as wide as
// the used share. Changes of the share animate.
class MemoryBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 6;
    static constexpr int kAnimationMilliseconds = 250;

    explicit MemoryBar(QWidget* parent);

    void setFill(MemoryFill fill);
    const MemoryFill& fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MemoryFill fill_;
    double shownRatio_ = 0;
    bool hasFill_ = false;
    QVariantAnimation animation_;
};

} // namespace tidemark::ui
