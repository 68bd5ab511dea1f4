#pragma once
#include <QDialog>

#include <memory>

namespace vornex {
struct ProgramState;
}

namespace vornex::ui {

// The export dialog: a check box per race (chkRace1..chkRace16, by player number), "Uninhabited"
// (chkUninhabited) and the Export button (cmdExport). Modeless; deletes itself when closed.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(ProgramState& state, QWidget* parent = nullptr);
    ~ExportDialog() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vornex::ui
