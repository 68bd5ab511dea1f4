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
    QLabel* lblResult = nullptr;

    void showResult(const QString& text, const QString& tooltip)
    {
        lblResult->setText(text);
        lblResult->setToolTip(tooltip);
        const int height = text.isEmpty() ? 0 : lblResult->heightForWidth(lblResult->width());
        lblResult->resize(lblResult->width(), height);
        QWidget* dialog = lblResult->parentWidget();
        dialog->setFixedSize(267, 266 + (height ? height + 6 : 0));
    }
};

frmExport::frmExport(ProgramState& state, QWidget* parent) : QDialog(parent), d(std::make_unique<Impl>(state))
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

    // The outcome of an export shows under the boxes, so that exporting again needs no box to
    // dismiss; the dialog grows to hold it.
    d->lblResult = new QLabel(this);
    d->lblResult->setObjectName(QStringLiteral("lblResult"));
    d->lblResult->setGeometry(8, 266, 251, 0);
    d->lblResult->setWordWrap(true);
    d->lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    d->lblResult->setTextFormat(Qt::PlainText);

    connect(cmdExport, &QPushButton::clicked, this, [this] {
        ExportSelection selection;
        for (size_t i = 0; i < 16; ++i) {
            selection.captions[i] = d->captions[i];
            selection.checked[i] = d->chk[i]->isEnabled() && d->chk[i]->isChecked();
        }
        selection.uninhabited = d->chk[16]->isChecked();
        const std::string path = d->state.game.exportFile();
        int count = 0;
        const WriteResult result = WriteExportFile(path, d->state.AllPlanets, selection, &count);
        if (!result.ok) {
            d->showResult(QString(), QString());
            showMessage(this, windowTitle(),
                        tr("The export file could not be written:\n%1\n%2\nAn earlier export file is left as it was.")
                            .arg(QString::fromStdString(path), QString::fromStdString(result.error)));
            return;
        }
        const QString file = QString::fromStdString(path);
        emit exportWritten(file);
        // The label is narrow: a long folder is shortened in the middle, the tooltip holds it whole.
        const QString shownFile = d->lblResult->fontMetrics().elidedText(file, Qt::ElideMiddle, 230);
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

frmExport::~frmExport() = default;

} // namespace vornex::ui
