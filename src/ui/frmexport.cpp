#include "ui/frmexport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <array>

#include "app/programstate.h"
#include "io/exportfile.h"
#include "ui/dialogs.h"

namespace vornex::ui {

struct frmExport::Impl {
    explicit Impl(ProgramState& s) : state(s) {}

    ProgramState& state;
    std::array<QCheckBox*, 17> chk{};
    // The race names the boxes stand for, as loaded (a caption shows "&" doubled).
    std::array<std::string, 16> captions;
};

frmExport::frmExport(ProgramState& state, QWidget* parent) : QDialog(parent), d(new Impl(state))
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(tr("Export Information"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(267, 266);

    auto* label = new QLabel(tr("Select races to export information for"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(8, 8, 185, 25);
    label->setWordWrap(true);

    for (int i = 0; i < 17; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("chk%1").arg(i));
        if (i < 8)
            box->setGeometry(8, 40 + 24 * i, 120, 19);
        else if (i < 16)
            box->setGeometry(144, 40 + 24 * (i - 8), 120, 19);
        else
            box->setGeometry(8, 240, 120, 19);
        d->chk[size_t(i)] = box;
    }
    d->chk[16]->setText(tr("Uninhabited"));
    d->chk[16]->setChecked(true);

    // Each box stands for the player at position i + 1 and carries that race's name.
    for (size_t i = 0; i < 16; ++i) {
        PlayerPtr p = state.AllPlayers.At(static_cast<int64_t>(i) + 1);
        d->captions[i] = p ? p->RaceName : std::string();
        QString text = QString::fromStdString(d->captions[i]);
        d->chk[i]->setText(text.replace(QLatin1Char('&'), QLatin1String("&&")));
        // A slot without a race name stands for no race (it would match planets without an owner).
        const bool named = p && !p->RaceName.empty();
        d->chk[i]->setEnabled(named);
        d->chk[i]->setToolTip(named ? tr("Player %1").arg(i + 1) : tr("Player %1 has no race name").arg(i + 1));
    }

    auto* cmdExport = new QPushButton(tr("Export"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setGeometry(144, 236, 65, 25);
    cmdExport->setDefault(true);

    connect(cmdExport, &QPushButton::clicked, this, [this] {
        ExportSelection selection;
        for (size_t i = 0; i < 16; ++i) {
            selection.captions[i] = d->captions[i];
            selection.checked[i] = d->chk[i]->isEnabled() && d->chk[i]->isChecked();
        }
        selection.uninhabited = d->chk[16]->isChecked();
        const std::string path = exportFilePath(d->state.FileLocation, d->state.YourNumber);
        int count = 0;
        const WriteResult result =
            WriteExportFile(d->state.FileLocation, d->state.YourNumber, d->state.AllPlanets, selection, &count);
        if (!result.ok) {
            showMessage(this, windowTitle(),
                        tr("The export file could not be written:\n%1\n%2\nAn earlier export file is left as it was.")
                            .arg(QString::fromStdString(path), QString::fromStdString(result.error)));
            return;
        }
        showMessage(this, windowTitle(),
                    tr("%1 planet %2 written to\n%3")
                        .arg(count)
                        .arg(count == 1 ? tr("record") : tr("records"), QString::fromStdString(path)));
    });
}

frmExport::~frmExport()
{
    delete d;
}

} // namespace vornex::ui
