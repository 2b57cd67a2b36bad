#pragma once

#include "foundation/NotificationCenter.h"
#include "shortcuts/ShortcutRecorder.h"

#include <QLineEdit>
#include <QProxyStyle>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tidemark::ui {

// The view of a shortcut recorder: a search-style field, 130 × 24 at least, that shows the
// stored combination centred, records while it has the focus (it takes it only from a click)
// and offers a clear button while a combination is stored. Every decision is the recorder's.
class ShortcutRecorderField final : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 130;
    static constexpr int kHeight = 24;
    // The platform's key code of a key event (`nativeScanCode`) as a virtual key code.
    using KeyCodeTranslator = std::function<std::optional<std::int64_t>(std::uint32_t)>;

    ShortcutRecorderField(KeyBindings::ShortcutRecorder& recorder, KeyCodeTranslator translate,
                          QWidget* parent = nullptr);
    ~ShortcutRecorderField() override;

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void present(const KeyBindings::RecorderAlert& alert);

    KeyBindings::ShortcutRecorder& recorder_;
    KeyCodeTranslator translate_;
    ObservationToken recorderToken_;
    // The caret is never drawn: keys are captured, never typed.
    std::unique_ptr<QProxyStyle> caretless_;
    bool presentingAlert_ = false;
};

// The window system's modifier flags of a Qt key event.
std::uint64_t eventFlags(Qt::KeyboardModifiers modifiers);

} // namespace tidemark::ui
