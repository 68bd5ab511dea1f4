#pragma once
// File > "Open Game…": the game folder, the player number and the game name, checked as start-up
// checks them, each with the reason beside it; OK only once all three are good.

#include <QDialog>
#include <optional>

#include "app/gamechoice.h"

class QLineEdit;
class QComboBox;
class QLabel;
class QPushButton;

namespace vornex::ui {

class OpenGameDialog : public QDialog {
    Q_OBJECT
public:
    OpenGameDialog(const Game& current, QWidget* parent = nullptr);

    // The game typed, its folder made whole; nullopt while it cannot be opened.
    std::optional<Game> choice() const;
    // Checks the values again and shows the reasons.
    void revalidate();

private:
    void folderEdited();
    void chooseFolder();

    QLineEdit* m_folder = nullptr;
    QLineEdit* m_player = nullptr;
    QComboBox* m_game = nullptr;
    QLabel *m_folderWhy = nullptr, *m_playerWhy = nullptr, *m_gameWhy = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace vornex::ui
