#include "ui/exportdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

#include "app/programstate.h"
#include "io/exportfile.h"
#include "ui/dialogs.h"

namespace vornex::ui {

struct ExportDialog::Impl {
    explicit Impl(ProgramState& s) : state(s) {}

    ProgramState& state;
    // The sixteen races by player number (index 0 is player 1), then "Uninhabited".
    std::array<QCheckBox*, 16> raceBoxes{};
    QCheckBox* uninhabited = nullptr;
    // The race names the boxes stand for, as loaded (a caption shows "&" doubled).
    std::array<std::string, 16> captions;
    QLabel* result = nullptr;

    void showResult(const QString& text, const QString& tooltip)
    {
        result->setText(text);
        result->setToolTip(tooltip);
        result->setVisible(!text.isEmpty());
        // The dialog takes its new size at once, not at the next turn of the event loop.
        result->parentWidget()->layout()->activate();
    }
};

ExportDialog::ExportDialog(ProgramState& state, QWidget* parent) : QDialog(parent), d(std::make_unique<Impl>(state))
{
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(tr("Export Information"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* column = new QVBoxLayout(this);
    // The dialog keeps the size its contents need, growing when the outcome of an export shows.
    column->setSizeConstraint(QLayout::SetFixedSize);

    auto* prompt = new QLabel(tr("Select races to export information for"), this);
    prompt->setObjectName(QStringLiteral("lblExportPrompt"));
    prompt->setWordWrap(true);
    column->addWidget(prompt);

    // Players 1 to 8 down the left column, 9 to 16 down the right one.
    auto* races = new QGridLayout;
    races->setHorizontalSpacing(16);
    for (int i = 0; i < 16; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("chkRace%1").arg(i + 1));
        box->setMinimumWidth(120);
        races->addWidget(box, i % 8, i / 8);
        d->raceBoxes[size_t(i)] = box;
    }
    column->addLayout(races);

    // Each box stands for the player at position i + 1 and carries that race's name.
    for (size_t i = 0; i < 16; ++i) {
        PlayerPtr p = state.AllPlayers.At(static_cast<int64_t>(i) + 1);
        d->captions[i] = p ? p->RaceName : std::string();
        QString text = QString::fromStdString(d->captions[i]);
        d->raceBoxes[i]->setText(text.replace(QLatin1Char('&'), QLatin1String("&&")));
        // A slot without a race name stands for no race (it would match planets without an owner).
        const bool named = p && !p->RaceName.empty();
        d->raceBoxes[i]->setEnabled(named);
        d->raceBoxes[i]->setToolTip(named ? tr("Player %1").arg(i + 1) : tr("Player %1 has no race name").arg(i + 1));
    }

    auto* last = new QHBoxLayout;
    d->uninhabited = new QCheckBox(tr("Uninhabited"), this);
    d->uninhabited->setObjectName(QStringLiteral("chkUninhabited"));
    d->uninhabited->setChecked(true);
    last->addWidget(d->uninhabited);
    last->addStretch(1);
    auto* cmdExport = new QPushButton(tr("Export"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setDefault(true);
    last->addWidget(cmdExport);
    column->addLayout(last);

    // The outcome of an export shows under the boxes, so that exporting again needs no box to
    // dismiss.
    d->result = new QLabel(this);
    d->result->setObjectName(QStringLiteral("lblExportResult"));
    d->result->setWordWrap(true);
    d->result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    d->result->setTextFormat(Qt::PlainText);
    d->result->hide();
    column->addWidget(d->result);
    column->activate();

    connect(cmdExport, &QPushButton::clicked, this, [this] {
        ExportSelection selection;
        for (size_t i = 0; i < 16; ++i) {
            selection.captions[i] = d->captions[i];
            selection.checked[i] = d->raceBoxes[i]->isEnabled() && d->raceBoxes[i]->isChecked();
        }
        selection.uninhabited = d->uninhabited->isChecked();
        const std::string path = exportFilePath(d->state.FileLocation, d->state.YourNumber);
        int count = 0;
        const WriteResult result =
            WriteExportFile(d->state.FileLocation, d->state.YourNumber, d->state.AllPlanets, selection, &count);
        if (!result.ok) {
            d->showResult(QString(), QString());
            showMessage(this, windowTitle(),
                        tr("The export file could not be written:\n%1\n%2\nAn earlier export file is left as it was.")
                            .arg(QString::fromStdString(path), QString::fromStdString(result.error)));
            return;
        }
        const QString file = QString::fromStdString(path);
        // The label is narrow: a long folder is shortened in the middle, the tooltip holds it whole.
        const QString shownFile = d->result->fontMetrics().elidedText(file, Qt::ElideMiddle, 230);
        QString text =
            tr("%1 planet %2 written to %3.").arg(count).arg(count == 1 ? tr("record") : tr("records"), shownFile);
        std::vector<std::string> names;
        const int unusable = unusableExportRecords(d->state.AllPlanets, selection, &names);
        if (unusable > 0) {
            QStringList shownNames;
            for (size_t i = 0; i < names.size() && i < 3; ++i)
                shownNames << QString::fromStdString(names[i]);
            if (names.size() > 3) shownNames << QStringLiteral("\u2026");
            text += QLatin1Char('\n') +
                    tr("%1 of them other copies cannot use: a double quote in a planet name is written as an "
                       "apostrophe, so they find no such planet (%2).")
                        .arg(unusable)
                        .arg(shownNames.join(QStringLiteral(", ")));
        }
        d->showResult(text, file);
    });
}

ExportDialog::~ExportDialog() = default;

} // namespace vornex::ui
