#pragma once

#include "foundation/NotificationCenter.h"
#include "preferences/PreferencesModel.h"
#include "ui/ShortcutRecorderField.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QCheckBox;
class QColorDialog;
class QComboBox;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace tidemark::ui {

// The one preferences window: a normal window, 400 wide and as high as its sections, a view
// over the preferences model.
class PreferencesWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 400;

    explicit PreferencesWindow(PreferencesModel& model, QWidget* parent = nullptr);

    // Centres the window on `screenGeometry` and brings it to the front.
    void present(const QRect& screenGeometry);
    // The colour scheme changed: a default colour follows it.
    void appearanceDidChange();
    // A last section with the refresh shortcut's recorder field; `recorder` outlives the
    // window.
    void addShortcutRecorder(KeyBindings::ShortcutRecorder& recorder,
                             ShortcutRecorderField::KeyCodeTranslator translate);

    // A last section saying which line of the compositor's configuration binds the refresh
    // shortcut, where no recorder can work (a Wayland client gets no global hot key).
    void addShortcutBindingLine(const std::string& configFile, const std::string& line);

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void refresh();
    void openColorPanel();
    void placeColorPanel();

    PreferencesModel& model_;
    ObservationToken modelToken_;
    QCheckBox* launchAtLogin_ = nullptr;
    QComboBox* style_ = nullptr;
    QCheckBox* borders_ = nullptr;
    QCheckBox* hoverPopup_ = nullptr;
    QCheckBox* scrollSwitches_ = nullptr;
    QToolButton* colorWell_ = nullptr;
    QPushButton* resetColor_ = nullptr;
    QPointer<QColorDialog> colorPanel_;
    // The custom colour when the colour panel opened; none when it was the default.
    std::optional<Color> colorBeforePanel_;
    QVBoxLayout* sections_ = nullptr;
};

} // namespace tidemark::ui
