#include "ui/ShortcutRecorderField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

namespace tidemark::ui {
namespace {

using namespace KeyBindings;

class CaretlessStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        return metric == PM_TextCursorWidth ? 0 : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

std::uint64_t eventFlags(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= event_flag::kShift;
    if (modifiers & Qt::ControlModifier)
        flags |= event_flag::kControl;
    if (modifiers & Qt::AltModifier)
        flags |= event_flag::kOption;
    if (modifiers & Qt::MetaModifier) // Super on X11
        flags |= event_flag::kCommand;
    if (modifiers & Qt::KeypadModifier)
        flags |= event_flag::kNumericPad;
    return flags;
}

ShortcutRecorderField::ShortcutRecorderField(ShortcutRecorder& recorder,
                                             KeyCodeTranslator translate, QWidget* parent)
    : QLineEdit(parent), recorder_(recorder), translate_(std::move(translate)),
      caretless_(std::make_unique<CaretlessStyle>()) {
    setStyle(caretless_.get());
    setFixedSize(kMinimumWidth, kHeight);
    setAlignment(Qt::AlignCenter);
    setClearButtonEnabled(true);
    // Recording starts from a click only: a window that opens must not start it.
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty()) // the clear button
            recorder_.clear();
        refresh();
    });
    recorderToken_ = recorder_.observeChanges([this] { refresh(); });
    refresh();
}

ShortcutRecorderField::~ShortcutRecorderField() {
    setStyle(nullptr);
}

void ShortcutRecorderField::refresh() {
    const QString text = QString::fromStdString(recorder_.text());
    if (this->text() != text)
        setText(text);
    setPlaceholderText(QString::fromStdString(recorder_.placeholder()));
    if (!recorder_.isRecording() && hasFocus() && !presentingAlert_)
        clearFocus();
}

bool ShortcutRecorderField::event(QEvent* event) {
    // Tab would move the focus before the key reached the recorder.
    if (event->type() == QEvent::KeyPress && recorder_.isRecording()) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void ShortcutRecorderField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    qApp->installEventFilter(this);
    recorder_.startRecording();
}

void ShortcutRecorderField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (presentingAlert_)
        return;
    qApp->removeEventFilter(this);
    recorder_.endRecording();
}

bool ShortcutRecorderField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && recorder_.isRecording() && !presentingAlert_) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != this && !isAncestorOf(widget))
            recorder_.handle({CapturedEvent::Type::MouseClickOutside, 0, 0});
    }
    return QLineEdit::eventFilter(watched, event);
}

void ShortcutRecorderField::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!recorder_.isRecording() || isModifierKey(event->key()))
        return;
    const auto keyCode = translate_ ? translate_(event->nativeScanCode()) : std::nullopt;
    if (!keyCode) {
        QApplication::beep();
        return;
    }
    const auto outcome =
        recorder_.handle({CapturedEvent::Type::KeyDown, *keyCode, eventFlags(event->modifiers())});
    if (outcome.response == ShortcutRecorder::Response::Beep)
        QApplication::beep();
    else if (outcome.alert)
        present(*outcome.alert);
}

void ShortcutRecorderField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    // A centred field hides its placeholder while it has the focus, which is exactly when
    // "press" must show.
    if (!hasFocus() || !text().isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter, placeholderText());
}

void ShortcutRecorderField::present(const RecorderAlert& alert) {
    // A sheet on the field's window: modal to that window only.
    QMessageBox box(QMessageBox::Warning, QString(), QString::fromStdString(alert.messageText),
                    QMessageBox::NoButton, window());
    box.setWindowModality(Qt::WindowModal);
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    std::vector<QAbstractButton*> buttons;
    for (const auto& title : alert.buttons)
        buttons.push_back(box.addButton(QString::fromStdString(title), QMessageBox::AcceptRole));
    if (!buttons.empty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    presentingAlert_ = true;
    box.exec();
    presentingAlert_ = false;
    int answer = 1;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            answer = int(i) + 1;
    recorder_.alertAnswered(alert, answer);
    if (recorder_.isRecording())
        setFocus(Qt::OtherFocusReason);
    else
        refresh();
}

} // namespace tidemark::ui
