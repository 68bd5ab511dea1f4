#include "ui/planetsdock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <set>
#include <vector>

#include "analysis/tabletext.h"
#include "app/programstate.h"
#include "ui/dialogs.h"
#include "ui/planetsfilter.h"
#include "ui/planetstablemodel.h"
#include "ui/savedfiles.h"

namespace vornex::ui {

namespace {

// The dock's contents: they ask for the width of the filters side by side (the width the dock
// opens at where there is room), though the filters take two rows when the dock is narrowed
// beside a small window.
class DockBody : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<QWidget*> filters;

    QSize sizeHint() const override
    {
        QSize hint = QWidget::sizeHint();
        const QMargins m = layout()->contentsMargins();
        int oneRow = m.left() + m.right() + layout()->spacing() * (int(filters.size()) - 1);
        for (const QWidget* w : filters)
            oneRow += w->sizeHint().width();
        hint.setWidth(std::max(hint.width(), oneRow));
        return hint;
    }
};

} // namespace

PlanetsDock::PlanetsDock(const ProgramState& state, QWidget* parent)
    : QDockWidget(tr("Planets"), parent), m_state(state)
{
    setObjectName("dockPlanets");
    auto* body = new DockBody(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* filters = new QHBoxLayout;
    m_name = new QLineEdit(body);
    m_name->setObjectName("txtPlanetFilter");
    m_name->setPlaceholderText(tr("Name contains…"));
    m_name->setClearButtonEnabled(true);
    // Room for the words that say what the box is for, and its clear button.
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(m_name->placeholderText()) + 40);
    m_owner = new QComboBox(body);
    m_owner->setObjectName("cboOwnerFilter");
    m_owner->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_reported = new QCheckBox(tr("Reported only"), body);
    m_reported->setObjectName("chkReportedOnly");
    m_targets = new QCheckBox(tr("Targets"), body);
    m_targets->setObjectName("chkTargets");
    m_targets->setToolTip(tr("Colony targets: reported, uninhabited planets with HabTerra above 0, "
                             "best first and, among equals, the nearest to your worlds"));
    auto* save = new QPushButton(tr("Save as CSV…"), body);
    save->setObjectName("cmdSaveCsv");
    // Two rows, so that the dock can be narrow beside the map on a small screen: what to look for,
    // then which planets and the file.
    filters->addWidget(m_name, 1);
    filters->addWidget(m_owner);
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_reported);
    choices->addWidget(m_targets);
    choices->addStretch(1);
    choices->addWidget(save);
    layout->addLayout(filters);
    layout->addLayout(choices);
    body->filters = {m_name, m_owner, m_reported, m_targets, save};

    m_model = new PlanetsTableModel(state, this);
    m_filter = new PlanetsFilter(this);
    m_filter->setSourceModel(m_model);
    m_table = new QTableView(body);
    m_table->setObjectName("tblPlanets");
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder); // map order until a column is chosen
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    setWidget(body);

    // A filter that hides or shows rows moves the table's current row; that is no pick of the
    // user's, so the row of the map's planet is selected again afterwards.
    auto refilter = [this](auto apply) {
        m_syncing = true;
        apply();
        m_syncing = false;
        showSelected(m_state.view.PlanetSelected);
    };
    connect(m_name, &QLineEdit::textChanged, this,
            [this, refilter](const QString& t) { refilter([&] { m_filter->setNameFilter(t); }); });
    connect(m_owner, &QComboBox::currentIndexChanged, this, [this, refilter] {
        const QVariant owner = m_owner->currentData();
        refilter([&] { m_filter->setOwnerFilter(owner.isValid() ? std::optional(owner.toString()) : std::nullopt); });
    });
    connect(m_reported, &QCheckBox::toggled, this,
            [this, refilter](bool on) { refilter([&] { m_filter->setReportedOnly(on); }); });
    connect(m_targets, &QCheckBox::toggled, this, [this, refilter](bool on) { refilter([&] { showTargets(on); }); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &PlanetsDock::rowPicked);
    connect(save, &QPushButton::clicked, this, &PlanetsDock::chooseCsvFile);
}

QTableView* PlanetsDock::table()
{
    ensureFilled();
    return m_table;
}

PlanetsFilter* PlanetsDock::filter()
{
    ensureFilled();
    return m_filter;
}

void PlanetsDock::showEvent(QShowEvent* event)
{
    ensureFilled();
    QDockWidget::showEvent(event);
}

void PlanetsDock::ensureFilled()
{
    if (m_stale) fill();
}

void PlanetsDock::fillOwners()
{
    const QVariant before = m_owner->currentData();
    std::set<std::string> owners;
    for (const auto& p : m_state.AllPlanets)
        owners.insert(p->Owner);
    const QSignalBlocker block(m_owner);
    m_owner->clear();
    m_owner->addItem(tr("All owners"));
    for (const std::string& o : owners)
        m_owner->addItem(o.empty() ? tr("(no owner)") : QString::fromStdString(o), QString::fromStdString(o));
    // The owner chosen stays chosen while the game has it.
    const int keep = before.isValid() ? m_owner->findData(before) : 0;
    m_owner->setCurrentIndex(std::max(0, keep));
    const QVariant now = m_owner->currentData();
    m_filter->setOwnerFilter(now.isValid() ? std::optional(now.toString()) : std::nullopt);
}

void PlanetsDock::refresh()
{
    m_stale = true;
    if (isVisible()) fill();
}

void PlanetsDock::fill()
{
    m_stale = false;
    m_syncing = true;
    m_model->refresh();
    fillOwners();
    m_syncing = false;
    // Columns fit the first galaxy shown; after that they keep the widths the user gave them.
    if (!m_columnsSized && m_model->rowCount() > 0) {
        m_table->resizeColumnsToContents();
        m_columnsSized = true;
    }
    fitColumns();
    showSelected(m_state.view.PlanetSelected);
}

void PlanetsDock::showSelected(int16_t id)
{
    if (m_stale) return; // the rebuild selects it
    m_model->updateDistances();
    const QModelIndex source = m_model->index(m_model->rowOfPlanet(id), 0);
    const QModelIndex shown = m_filter->mapFromSource(source);
    m_syncing = true;
    if (shown.isValid()) {
        m_table->selectionModel()->setCurrentIndex(shown,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_table->scrollTo(shown);
    } else {
        m_table->selectionModel()->clearSelection();
        m_table->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    m_syncing = false;
}

void PlanetsDock::rowPicked()
{
    if (m_syncing) return;
    const QModelIndex current = m_table->selectionModel()->currentIndex();
    if (!current.isValid()) return;
    const int16_t id = m_model->planetRow(m_filter->mapToSource(current).row()).id;
    if (id != m_state.view.PlanetSelected) emit planetActivated(id);
}

QString PlanetsDock::saveCsv(const QString& path)
{
    ensureFilled();
    std::vector<PlanetRow> rows;
    rows.reserve(size_t(m_filter->rowCount()));
    bool nearOwn = false;
    for (int i = 0; i < m_filter->rowCount(); ++i) {
        rows.push_back(m_model->planetRow(m_filter->mapToSource(m_filter->index(i, 0)).row()));
        nearOwn = nearOwn || !rows.back().nearOwnName.empty();
    }
    // The report tool's columns: Distance with a reference planet (--from), the nearest own world
    // when you own one (--near-own).
    const bool withDistance = m_state.selectedPlanet() != nullptr;
    const std::string text = writePlanetTable(rows, fileColumns(withDistance, nearOwn), TableFormat::Csv);
    return writeChosenFile(path, QByteArray::fromStdString(text));
}

void PlanetsDock::fitColumns()
{
    // Never narrower than the widest figure a column can hold ("-32768", five-digit IDs), whatever
    // the first galaxy held; wider columns the user made stay.
    const QFontMetrics metrics(m_table->font());
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int needed = metrics.horizontalAdvance(QString::fromLatin1(m_model->column(c).widest)) + 16;
        if (m_table->columnWidth(c) < needed) m_table->setColumnWidth(c, needed);
    }
}

void PlanetsDock::showTargets(bool on)
{
    ensureFilled();
    m_filter->setTargetsOnly(on);
    if (on) m_table->sortByColumn(m_model->positionOf(PlanetColumnId::HabTerra), Qt::DescendingOrder);
}

void PlanetsDock::saveCsvAs(const QString& chosen)
{
    const QString path = withDefaultExtension(chosen, "csv");
    const QString error = saveCsv(path);
    if (!error.isEmpty()) {
        showMessage(this, tr("Save as CSV"), tr("%1 could not be saved:\n%2").arg(path, error));
        return;
    }
    const int rows = m_filter->rowCount();
    const QString where = QDir::toNativeSeparators(path);
    emit saved(rows == 1 ? tr("Saved 1 planet as CSV: %1").arg(where)
                         : tr("Saved %1 planets as CSV: %2").arg(rows).arg(where));
}

void PlanetsDock::chooseCsvFile()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save as CSV"), QString::fromStdString(m_state.game.folder), tr("CSV files (*.csv)"));
    if (!path.isEmpty()) saveCsvAs(path);
}

} // namespace vornex::ui
