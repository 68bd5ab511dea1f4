#pragma once
// The modal dialogs the windows use: input box, message box, colour chooser, the question after a
// failed save and the list of load notes. Tests replace them with hooks so that no dialog ever
// blocks a test run.

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "io/interfaces.h"

class QDialog;
class QWidget;

namespace vornex::ui {

// The answers to a save that failed while the window closes.
enum class SaveFailureAnswer { Retry, QuitWithoutSaving, Cancel };

struct DialogHooks {
    // Return the typed text, or nullopt for Cancel.
    std::function<std::optional<QString>(const QString& title, const QString& prompt)> input;
    std::function<void(const QString& title, const QString& text)> message;
    // Return the chosen colour, or nullopt for Cancel.
    std::function<std::optional<QColor>(const QColor& initial)> colour;
    std::function<SaveFailureAnswer(const QString& title, const QString& text)> saveFailure;
    // The heading and the lines of a details list.
    std::function<void(const QString& title, const QString& heading, const QStringList& lines)> details;
    // The question for the game folder (FolderQuestion): the folder, the demo galaxy or Cancel.
    std::function<FolderAnswer(const QString& title, const QString& prompt, const QString& why)> folder;
};

// Installed hooks (tests only); empty members fall back to the real dialogs.
DialogHooks& dialogHooks();

// Input box: prompt, title, an empty field. nullopt when cancelled.
std::optional<QString> askText(QWidget* parent, const QString& title, const QString& prompt);
// Message box with an OK button.
void showMessage(QWidget* parent, const QString& title, const QString& text);
// Colour chooser. nullopt when cancelled.
std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial);
// A save failed: Retry, "Quit without saving" (or the discardText given) or Cancel (Escape and the
// close box mean Cancel).
SaveFailureAnswer askAfterFailedSave(QWidget* parent, const QString& title, const QString& text,
                                     const QString& discardText = QString());

// A heading over a list that scrolls, and OK. The dialog never grows taller than the screen it
// opens on. The caller owns the dialog (exec or show it).
QDialog* makeDetailsDialog(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines);
// makeDetailsDialog, shown modally.
void showDetails(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines);

// 0x00BBGGRR (red in the low byte) and back.
QColor colourFromBgr(int32_t bgr);
int32_t bgrFromColour(const QColor& c);

} // namespace vornex::ui
