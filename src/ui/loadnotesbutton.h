#pragma once
// The status bar's link to what the loaders noted: one line that sums it up ("game.p1: file not
// found — ...", "3 lines skipped while loading") and opens the whole list when clicked.

#include <QPushButton>

namespace vornex {
struct Diagnostic;
struct ProgramState;
} // namespace vornex

namespace vornex::ui {

class LoadNotesButton : public QPushButton {
    Q_OBJECT
public:
    LoadNotesButton(const ProgramState& state, QWidget* parent);

    // Sums up the state's notes, or hides the button when there are none.
    void refresh();

private:
    const ProgramState& m_state;

    // "game.p5: file not found — the map shows ..." for a file that could not be read at all.
    QString fileNote(const Diagnostic& diag, bool fullPath) const;
    void showList();
};

} // namespace vornex::ui
