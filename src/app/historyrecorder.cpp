#include "app/historyrecorder.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <memory>
#include <unordered_map>

#include "app/programstate.h"
#include "history/gamehistory.h"

namespace vornex {

using namespace history;

// The worker's side: the open store of the game recorded last.
struct HistoryRecorder::Worker {
    std::string folder;
    std::string identity;
    std::unique_ptr<GameHistory> game;
    std::unordered_map<int16_t, std::string> names; // of the planets recorded last

    std::string nameOf(int16_t id) const
    {
        auto it = names.find(id);
        return it == names.end() ? "planet " + std::to_string(id) : it->second;
    }
};

HistoryRecorder::HistoryRecorder(const QString& folder, QObject* parent)
    : QObject(parent), m_context(new QObject), m_worker(new Worker)
{
    qRegisterMetaType<HistoryUpdate>();
    m_worker->folder = folder.isEmpty() ? defaultHistoryFolder() : folder.toStdString();
    m_context->moveToThread(&m_thread);
    m_thread.setObjectName("history");
    m_thread.start();
}

HistoryRecorder::~HistoryRecorder()
{
    // Everything asked is done first (a turn being written, a note), then the store is closed.
    QMetaObject::invokeMethod(
        m_context, [w = m_worker] { delete w; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

template <typename Call> void HistoryRecorder::post(Call&& call)
{
    QMetaObject::invokeMethod(m_context, std::forward<Call>(call), Qt::QueuedConnection);
}

void HistoryRecorder::record(ProgramState& state)
{
    const std::string identity = gameIdentity(state.AllPlanets, state.yourNumber());
    const bool otherGame = identity != m_identity;
    if (otherGame) {
        m_identity = identity;
        m_notes.clear();
        m_turns.clear();
    }
    applyNotes(state);
    auto now = std::make_shared<std::vector<Observation>>(observe(state.AllPlanets));
    const int16_t player = state.yourNumber();
    const std::string gameName = state.game.name;
    post([this, w = m_worker, identity, otherGame, now, player, gameName] {
        if (!w->game || w->identity != identity) {
            w->game = std::make_unique<GameHistory>(w->folder, identity, player, gameName);
            w->identity = identity;
        }
        HistoryUpdate u;
        w->names.clear();
        for (const auto& o : *now)
            w->names.emplace(o.state.planet, o.name);
        const auto result = w->game->record(*now);
        u.recorded = result.has_value();
        if (result) u.result = *result;
        u.error = QString::fromStdString(w->game->error());
        u.notice = QString::fromStdString(w->game->notice());
        u.path = QString::fromStdString(w->game->path());
        std::map<int16_t, std::string> notes;
        w->game->guarded([&](HistoryStore& s) {
            u.turns = s.turns();
            if (otherGame) notes = s.notes();
        });
        QMetaObject::invokeMethod(
            this,
            [this, u, notes, otherGame, identity] {
                if (identity != m_identity) return; // another game was opened meanwhile
                m_turns = u.turns;
                if (otherGame) {
                    // Notes typed before the store's came stay.
                    for (const auto& [id, text] : notes)
                        m_notes.emplace(id, text);
                }
                emit recorded(u);
                if (otherGame) emit notesChanged();
            },
            Qt::QueuedConnection);
    });
}

void HistoryRecorder::applyNotes(ProgramState& state) const
{
    for (const auto& p : state.AllPlanets) {
        auto it = m_notes.find(p->ID);
        p->Note = it == m_notes.end() ? std::string() : it->second;
    }
}

void HistoryRecorder::setNote(ProgramState& state, int16_t planet, const QString& text)
{
    const std::string note = text.trimmed().toStdString();
    if (note.empty())
        m_notes.erase(planet);
    else
        m_notes[planet] = note;
    if (PlanetPtr p = state.AllPlanets.ByID(planet)) p->Note = note;
    post([w = m_worker, planet, note] {
        if (w->game) w->game->guarded([&](HistoryStore& s) { s.setNote(planet, note); });
    });
}

QString HistoryRecorder::note(int16_t planet) const
{
    auto it = m_notes.find(planet);
    return it == m_notes.end() ? QString() : QString::fromStdString(it->second);
}

void HistoryRecorder::requestHistory(int16_t planet)
{
    post([this, w = m_worker, planet] {
        std::vector<HistoryEntry> entries;
        if (w->game) w->game->guarded([&](HistoryStore& s) { entries = s.planetHistory(planet); });
        QMetaObject::invokeMethod(
            this, [this, planet, entries] { emit historyReady(planet, entries); }, Qt::QueuedConnection);
    });
}

void HistoryRecorder::requestChanges(int32_t from, int32_t to)
{
    post([this, w = m_worker, from, to] {
        std::vector<Change> changes;
        if (w->game)
            w->game->guarded(
                [&](HistoryStore& s) { changes = s.changes(from, to, [w](int16_t id) { return w->nameOf(id); }); });
        QMetaObject::invokeMethod(
            this, [this, from, to, changes] { emit changesReady(from, to, changes); }, Qt::QueuedConnection);
    });
}

void HistoryRecorder::finishPending()
{
    QMetaObject::invokeMethod(
        m_context, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this);
}

} // namespace vornex
