#pragma once

#include "foundation/NotificationCenter.h"
#include "preferences/PreferencesModel.h"
#include "ui/ShortcutRecorderField.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QColorDialog;
class QComboBox;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace tidemark::ui {

// The one preferences window: 400 × 540, floating, without window buttons (the header's
// close button only hides it), a view over the preferences model.
class PreferencesWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{400, 540};

    explicit PreferencesWindow(PreferencesModel& model, QWidget* parent = nullptr);

    // Centres the window on `screenGeometry` and brings it to the front.
    void present(const QRect& screenGeometry);
    // The colour scheme changed: a default colour follows it.
    void appearanceDidChange();
    // A last section with the refresh shortcut's recorder field; `recorder` outlives the
    // window.
    void addShortcutRecorder(KeyBindings::ShortcutRecorder& recorder,
                             ShortcutRecorderField::KeyCodeTranslator translate);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
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
    QToolButton* colorWell_ = nullptr;
    QPushButton* resetColor_ = nullptr;
    QPointer<QColorDialog> colorPanel_;
    QVBoxLayout* sections_ = nullptr;
};

} // namespace tidemark::ui
