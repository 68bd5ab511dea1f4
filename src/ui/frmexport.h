#pragma once
#include <QDialog>

#include <memory>

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// The export dialog: check boxes chk0..chk15 for the sixteen races, chk16 "Uninhabited", and
// cmdExport. Modeless; deletes itself when closed.
class frmExport : public QDialog {
    Q_OBJECT
public:
    explicit frmExport(ProgramState& state, QWidget* parent = nullptr);
    ~frmExport() override;

signals:
    // The export file at path was written (the game's own file: not a new turn).
    void exportWritten(const QString& path);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vornex::ui
