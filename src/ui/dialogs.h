#pragma once
// The modal dialogs the windows use: input box, message box, colour chooser. Tests replace them
// with hooks so that no dialog ever blocks a test run.

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vornex::ui {

struct DialogHooks {
    // Return the typed text, or nullopt for Cancel.
    std::function<std::optional<QString>(const QString& title, const QString& prompt)> input;
    std::function<void(const QString& title, const QString& text)> message;
    // Return the chosen colour, or nullopt for Cancel.
    std::function<std::optional<QColor>(const QColor& initial)> colour;
};

// Installed hooks (tests only); empty members fall back to the real dialogs.
DialogHooks& dialogHooks();

// Input box: prompt, title, an empty field. nullopt when cancelled.
std::optional<QString> askText(QWidget* parent, const QString& title, const QString& prompt);
// Message box with an OK button.
void showMessage(QWidget* parent, const QString& title, const QString& text);
// Colour chooser. nullopt when cancelled.
std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial);

// 0x00BBGGRR (red in the low byte) and back.
QColor colourFromBgr(int32_t bgr);
int32_t bgrFromColour(const QColor& c);

}  // namespace vornex::ui
