#include "ui/turnhistory.h"

#include <QAction>

#include "app/programstate.h"
#include "app/starttrace.h"
#include "ui/changesdock.h"
#include "ui/changeslayer.h"
#include "ui/historyview.h"
#include "ui/mapstyle.h"
#include "ui/mapwindow.h"
#include "ui/planetsdock.h"

namespace vornex::ui {

using history::RecordResult;

TurnHistory::TurnHistory(MapWindow& window, ProgramState& state, const QString& folder)
    : QObject(&window), m_window(window), m_state(state), m_recorder(folder)
{
    m_dock = new ChangesDock(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    if (QAction* toggle = m_dock->toggleViewAction()) toggle->setObjectName("ShowChanges");

    auto layer = std::make_unique<ChangesLayer>();
    m_layer = layer.get();
    window.addMapLayer(std::move(layer));

    m_view = new HistoryView(&window);

    connect(&m_recorder, &HistoryRecorder::recorded, this, &TurnHistory::recorded);
    connect(&m_recorder, &HistoryRecorder::notesChanged, this, [this] {
        applyNotes();
        m_view->showPlanet(m_view->planet(), m_recorder.note(m_view->planet()));
        m_recorder.requestHistory(m_view->planet());
    });
    connect(&m_recorder, &HistoryRecorder::changesReady, this,
            [this](int32_t from, int32_t to, const std::vector<history::Change>& changes) {
                if (from != m_dock->fromTurn() || to != m_dock->toTurn()) return; // an older question
                m_dock->showChanges(from, to, changes);
                m_layer->setChanges(changes);
                m_window.redrawMap();
            });
    connect(&m_recorder, &HistoryRecorder::historyReady, this,
            [this](int16_t planet, const std::vector<history::HistoryEntry>& entries) {
                m_view->showHistory(planet, entries, [this](const std::string& owner) {
                    return mapstyle::keyedColour(m_state, owner).value_or(QColor());
                });
            });
    connect(m_dock, &ChangesDock::turnsChosen, this,
            [this](int32_t from, int32_t to) { m_recorder.requestChanges(from, to); });
    connect(m_dock, &ChangesDock::planetActivated, &window, &MapWindow::selectPlanet);
    connect(m_view, &HistoryView::noteEdited, this, [this](int16_t planet, const QString& text) {
        m_recorder.setNote(m_state, planet, text);
        if (PlanetsDock* planets = m_window.planetsDock()) planets->refresh();
    });
}

void TurnHistory::turnLoaded(const QString& reloadText)
{
    m_reloadText = reloadText;
    m_recorder.record(m_state);
}

void TurnHistory::applyNotes()
{
    m_recorder.applyNotes(m_state);
    if (PlanetsDock* planets = m_window.planetsDock()) planets->refresh();
}

void TurnHistory::planetSelected(int16_t planet)
{
    if (planet == m_view->planet()) {
        m_recorder.requestHistory(planet); // the same planet, perhaps new turns
        return;
    }
    m_view->showPlanet(planet, m_recorder.note(planet));
    if (planet != 0) m_recorder.requestHistory(planet);
}

void TurnHistory::status(const QString& text)
{
    m_status = text;
    m_window.showStatus(text);
}

void TurnHistory::recorded(const HistoryUpdate& u)
{
    traceStartStep("history answered");
    if (!u.notice.isEmpty()) status(u.notice);
    if (!u.recorded) {
        const QString why = u.error.isEmpty() ? tr("the history store cannot be used") : u.error;
        m_dock->showUnavailable(why);
        m_view->showUnavailable(why);
        status((m_reloadText.isEmpty() ? QString() : m_reloadText + " — ") + tr("turn not recorded: %1").arg(why));
        m_reloadText.clear();
        return;
    }
    const RecordResult& r = u.result;
    m_dock->setTurns(u.turns);
    m_recorder.requestChanges(m_dock->fromTurn(), m_dock->toTurn());
    m_recorder.requestHistory(m_view->planet());
    QString text;
    switch (r.outcome) {
    case RecordResult::Outcome::Recorded:
    case RecordResult::Outcome::Updated: {
        const std::string biggest = history::summary(r.changes, 2);
        text =
            tr("turn %1 recorded").arg(r.turn) + (biggest.empty() ? QString() : ": " + QString::fromStdString(biggest));
        break;
    }
    case RecordResult::Outcome::Unchanged:
        text = tr("turn %1").arg(r.turn);
        break;
    case RecordResult::Outcome::Older:
        text = tr("not recorded: %1").arg(QString::fromStdString(r.count.how));
        break;
    }
    // Start-up and Open Game say nothing unless something needs saying.
    if (!m_reloadText.isEmpty())
        status(m_reloadText + " — " + text);
    else if (r.outcome == RecordResult::Outcome::Older)
        status(tr("History: %1").arg(text));
    m_reloadText.clear();
}

} // namespace vornex::ui
