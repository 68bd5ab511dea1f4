#include "ui/raceeditor.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/programstate.h"
#include "app/startup.h"
#include "base/numeric.h"
#include "io/codepage.h"
#include "io/planetloader.h"
#include "io/tables.h"
#include "model/keyfold.h"
#include "ui/dialogs.h"
#include "ui/eventwatcher.h"
#include "ui/habitabilitytab.h"
#include "ui/namecheck.h"
#include "ui/refusedbox.h"

namespace vornex::ui {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}
std::string ss(const QString& s)
{
    return s.toStdString();
}

} // namespace

struct RaceEditor::Impl {
    Impl(RaceEditor* owner, ProgramState& s, SettingsStore& st, Prompter& p, RaceEditorHost& h)
        : q(owner), state(s), settings(st), prompter(p), host(h)
    {
    }

    RaceEditor* q;
    ProgramState& state;
    SettingsStore& settings;
    Prompter& prompter;
    RaceEditorHost& host;

    QScrollBar* playerNumberBar = nullptr;
    QLineEdit* txtPlayerNumber = nullptr;
    QTabWidget* raceTabs = nullptr;
    QLineEdit* txtPlayerName = nullptr;
    QLineEdit* txtRaceName = nullptr;
    QLabel* colourSwatch = nullptr;
    HabitabilityTab* habitability = nullptr;
    // The event filter on the name boxes and the swatch; it goes first when the editor does.
    std::unique_ptr<EventWatcher> watcher;

    bool raceNameChanged = false;
    bool applying = false;
    // Race names as they were last loaded from or saved to player.inf: what a refused name goes
    // back to.
    std::vector<std::pair<PlayerPtr, std::string>> appliedNames;
    // The player the boxes were last filled from.
    std::weak_ptr<Player> shown;
    // That player's name as last accepted (filled, or left without a refusal): what a refused
    // player name goes back to.
    std::string acceptedPlayerName;

    // The player whose number txtPlayerNumber spells, or nullptr.
    PlayerPtr edited() const
    {
        const auto n = num::tryInt16(LeadingValue(ss(txtPlayerNumber->text())));
        return state.AllPlayers.At(n.value_or(0));
    }

    // ---- showing whether a box's text was taken ------------------------------------------------

    void refuse(QLineEdit* box, const QString& why)
    {
        markRefused(box, why);
        host.showStatus(why);
    }

    // ---- applied race names --------------------------------------------------------------------

    void snapshotNames()
    {
        appliedNames.clear();
        for (const PlayerPtr& p : state.AllPlayers)
            appliedNames.emplace_back(p, p->RaceName);
    }
    std::string appliedName(const PlayerPtr& p)
    {
        for (const auto& [player, name] : appliedNames)
            if (player == p) return name;
        // Not seen before (the table was replaced elsewhere): its present name is the applied one.
        appliedNames.emplace_back(p, p->RaceName);
        return p->RaceName;
    }
    bool anyNamePending()
    {
        for (const PlayerPtr& p : state.AllPlayers)
            if (p->RaceName != appliedName(p)) return true;
        return false;
    }

    // Why `text` cannot be player p's race name, or an empty text when it can.
    QString raceNameProblem(const PlayerPtr& p, const QString& text) const
    {
        QString why = nameCharacterProblem(text, QObject::tr("race name"));
        if (!why.isEmpty() || text.isEmpty()) return why;
        const std::string key = foldKey(ss(text));
        int position = 0;
        for (const PlayerPtr& other : state.AllPlayers) {
            ++position;
            if (other != p && !other->RaceName.empty() && foldKey(other->RaceName) == key)
                return QObject::tr("Player %1 already has the race name \"%2\".")
                    .arg(position)
                    .arg(qs(other->RaceName));
        }
        return {};
    }

    // ---- filling the editor --------------------------------------------------------------------

    void playerNumberChanged()
    {
        PlayerPtr p = edited();
        if (!p) {
            // No such player: every box and every player stays as it is.
            const QString why = QObject::tr("There is no player \"%1\"; the editor still shows the last one.")
                                    .arg(txtPlayerNumber->text());
            refuse(txtPlayerNumber, why);
            return;
        }
        markTaken(txtPlayerNumber);
        // A race name left refused on the player shown so far goes back to its applied name.
        if (PlayerPtr before = shown.lock(); before && before != p) {
            restoreRefusedRaceName(before);
            restoreRefusedPlayerName(before);
        }
        shown = p;
        acceptedPlayerName = p->PlayerName;
        // Keep the scroll bar on the typed number without running its change again.
        const int number = num::tryInt16(LeadingValue(ss(txtPlayerNumber->text()))).value_or(0);
        if (number >= playerNumberBar->minimum() && number <= playerNumberBar->maximum() &&
            playerNumberBar->value() != number) {
            const QSignalBlocker block(playerNumberBar);
            playerNumberBar->setValue(number);
        }

        // The order matters: each setText of a changed text runs that box's change handler, which
        // writes the value just read back into the same player. A text that does not change runs
        // nothing, so its box is cleared of an earlier refusal here.
        setNameText(txtPlayerName, qs(p->PlayerName));
        setNameText(txtRaceName, qs(p->RaceName));
        setSwatch(colourFromBgr(p->Colour));
        habitability->showPlayer(*p);
        q->setTitle(plainTitle(txtRaceName->text()));
    }

    static void setNameText(QLineEdit* box, const QString& text)
    {
        const bool same = box->text() == text;
        box->setText(text);
        if (same) markTaken(box);
    }

    void setSwatch(const QColor& c)
    {
        QPalette pal = colourSwatch->palette();
        pal.setColor(QPalette::Window, c);
        colourSwatch->setPalette(pal);
    }

    // ---- the General tab -----------------------------------------------------------------------

    void playerNameChanged(const QString& text)
    {
        PlayerPtr p = edited();
        if (!p) return;
        const QString why = nameCharacterProblem(text, QObject::tr("player name"));
        if (!why.isEmpty()) {
            // The keystrokes before the refused one were stored; the record goes back to the last
            // accepted name at once, so that no save writes a fragment of the new one.
            if (shown.lock() == p) p->PlayerName = acceptedPlayerName;
            refuse(txtPlayerName, why + QObject::tr(" The player keeps \"%1\".").arg(qs(p->PlayerName)));
            return;
        }
        p->PlayerName = ss(text);
        markTaken(txtPlayerName);
    }

    // Leaving the player name box: a refused name is reported and the box shows the kept name;
    // an accepted one becomes the name to go back to.
    void playerNameLeft()
    {
        PlayerPtr p = edited();
        if (!p || p != shown.lock()) return;
        if (!isRefused(txtPlayerName)) {
            acceptedPlayerName = p->PlayerName;
            return;
        }
        const QString why = nameCharacterProblem(txtPlayerName->text(), QObject::tr("player name"));
        restoreRefusedPlayerName(p);
        showMessage(
            q, QObject::tr("Player"),
            QObject::tr("%1\nThe player name goes back to \"%2\" and nothing is saved.").arg(why, qs(p->PlayerName)));
    }

    // A player name left refused: record and box go back to the last accepted name.
    void restoreRefusedPlayerName(const PlayerPtr& player)
    {
        if (!player || player != shown.lock() || !isRefused(txtPlayerName)) return;
        player->PlayerName = acceptedPlayerName;
        // The box shows the record again; its change handler has nothing new to store.
        const QSignalBlocker block(txtPlayerName);
        txtPlayerName->setText(qs(acceptedPlayerName));
        markTaken(txtPlayerName);
    }

    void raceNameEdited(const QString& text)
    {
        raceNameChanged = true;
        PlayerPtr p = edited();
        if (!p) return;
        const QString why = raceNameProblem(p, text);
        if (!why.isEmpty()) {
            // The record keeps its last acceptable name, so that no save can write a name twice.
            refuse(txtRaceName, why);
            return;
        }
        p->RaceName = ss(text);
        markTaken(txtRaceName);
    }

    void applyRaceNameChange()
    {
        if (!raceNameChanged || applying) return;
        applying = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{applying};

        if (isRefused(txtRaceName)) {
            const QString why = txtRaceName->toolTip();
            PlayerPtr p = edited();
            QString restored;
            if (p) {
                const std::string previous = appliedName(p);
                restored = qs(raceNameProblem(p, qs(previous)).isEmpty() ? previous : p->RaceName);
            }
            showMessage(q, QObject::tr("Race"),
                        QObject::tr("%1\nThe race name is not taken; it goes back to \"%2\" and nothing is saved.")
                            .arg(why, restored));
            if (p) {
                txtRaceName->setText(restored);
                q->setTitle(plainTitle(restored));
            }
            raceNameChanged = anyNamePending();
            return;
        }

        // A refused player name is not saved: it goes back to the last accepted one first.
        restoreRefusedPlayerName(shown.lock());
        const WriteResult saved = SavePlayers(state.FileLocation, state.AllPlayers);
        if (!saved.ok) {
            // Reloading now would throw the edits away: keep them and the pending change.
            const QString why = QObject::tr("The players table could not be saved, so the new race name is not "
                                            "applied yet:\n%1")
                                    .arg(qs(saved.error));
            showMessage(q, QObject::tr("Race"), why);
            host.showStatus(QObject::tr("The players table player.inf could not be saved."));
            return;
        }
        const bool planetsReloaded = reloadPlayersAndPlanets(state, settings, prompter) == LoadOutcome::Loaded;
        snapshotNames();
        // The records are new objects now; show them (same texts, so normally nothing changes).
        playerNumberChanged();
        raceNameChanged = false;
        host.tablesReloaded();
        host.redrawMap();
        host.showStatus(planetsReloaded ? QObject::tr("Saved player.inf and reloaded players and planets.")
                                        : QObject::tr("Saved player.inf and reloaded the players; the planets were not "
                                                      "reloaded (the player number question was cancelled)."));
    }

    void colourClicked()
    {
        applyRaceNameChange();
        PlayerPtr p = edited();
        if (!p) {
            host.showStatus(QObject::tr("There is no player \"%1\" to colour.").arg(txtPlayerNumber->text()));
            return;
        }
        const std::optional<QColor> chosen = chooseColour(q, colourFromBgr(p->Colour));
        if (!chosen || !chosen->isValid()) return; // cancelled: the colour stays
        p = edited();
        if (!p) return;
        setSwatch(*chosen);
        p->Colour = bgrFromColour(*chosen);
        host.redrawMap();
    }

    // Focus loss of the race-name and player-name boxes, and clicks on the colour swatch.
    bool watch(QObject* watched, QEvent* event)
    {
        if (watched == colourSwatch) {
            if (event->type() == QEvent::MouseButtonRelease) {
                auto* me = static_cast<QMouseEvent*>(event);
                if (me->button() == Qt::LeftButton && colourSwatch->rect().contains(me->position().toPoint())) {
                    colourClicked();
                    return true;
                }
            }
            return false;
        }
        if (event->type() != QEvent::FocusOut) return false;
        // Losing the focus to a popup or to another window is no departure from the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool departure = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
        if (watched == txtRaceName) {
            if (departure) applyRaceNameChange();
            return false;
        }
        if (watched == txtPlayerName) {
            if (departure) playerNameLeft();
            return false;
        }
        return false;
    }

    // A race name left refused on a player goes back to its applied name.
    void restoreRefusedRaceName(const PlayerPtr& player)
    {
        if (!player || !isRefused(txtRaceName)) return;
        const std::string previous = appliedName(player);
        if (raceNameProblem(player, qs(previous)).isEmpty()) player->RaceName = previous;
    }
};

namespace {

QLabel* caption(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace

RaceEditor::RaceEditor(ProgramState& state, SettingsStore& settings, Prompter& prompter, RaceEditorHost& host,
                       QWidget* parent)
    : QGroupBox(parent), d(std::make_unique<Impl>(this, state, settings, prompter, host))
{
    setObjectName(QStringLiteral("raceEditor"));
    QFont small = font();
    small.setPointSizeF(8.25);
    setFont(small);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);

    d->raceTabs = new QTabWidget(this);
    d->raceTabs->setObjectName(QStringLiteral("raceTabs"));
    column->addWidget(d->raceTabs);

    // "General": player name, race name, colour.
    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("General"));
    auto* form = new QFormLayout(general);
    d->txtPlayerName = textBox(general, "txtPlayerName");
    form->addRow(caption(general, "lblPlayerName", tr("Player")), d->txtPlayerName);
    d->txtRaceName = textBox(general, "txtRaceName");
    form->addRow(caption(general, "lblRaceName", tr("Race")), d->txtRaceName);
    d->colourSwatch = caption(general, "colourSwatch", QString());
    d->colourSwatch->setFixedSize(41, 21);
    form->addRow(caption(general, "lblRaceColour", tr("Colour")), d->colourSwatch);
    d->colourSwatch->setAutoFillBackground(true);
    d->colourSwatch->setFrameShape(QFrame::Box);
    d->colourSwatch->setCursor(Qt::PointingHandCursor);
    d->colourSwatch->setToolTip(tr("Click to choose the race's colour"));
    d->setSwatch(Qt::black);

    // "Habitability": a 3 by 3 grid of limits and terraforming amounts.
    auto* habs = new HabitabilityTab(state, host, [this] { return d->edited(); });
    d->habitability = habs;

    d->raceTabs->addTab(general, tr("General"));
    d->raceTabs->addTab(habs, tr("Habitability"));
    d->raceTabs->setCurrentWidget(habs);

    // The player chooser below the tabs.
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(caption(this, "lblPlayerNumber", tr("Player Number")));
    d->txtPlayerNumber = textBox(this, "txtPlayerNumber");
    d->txtPlayerNumber->setFixedWidth(d->txtPlayerNumber->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14);
    numberRow->addWidget(d->txtPlayerNumber);
    numberRow->addStretch(1);
    column->addLayout(numberRow);
    d->playerNumberBar = new QScrollBar(Qt::Horizontal, this);
    d->playerNumberBar->setObjectName(QStringLiteral("playerNumberBar"));
    d->playerNumberBar->setToolTip(tr("Step through the sixteen players"));
    d->playerNumberBar->setRange(1, 16);
    d->playerNumberBar->setPageStep(1);
    d->playerNumberBar->setValue(1);
    column->addWidget(d->playerNumberBar);

    connect(d->playerNumberBar, &QScrollBar::valueChanged, this, [this](int value) {
        d->habitability->commitFocused();
        d->txtPlayerNumber->setText(QString::number(value));
    });
    connect(d->txtPlayerNumber, &QLineEdit::textChanged, this, [this] { d->playerNumberChanged(); });
    connect(d->txtPlayerName, &QLineEdit::textChanged, this, [this](const QString& t) { d->playerNameChanged(t); });
    connect(d->txtRaceName, &QLineEdit::textChanged, this, [this](const QString& t) { d->raceNameEdited(t); });
    connect(d->txtRaceName, &QLineEdit::returnPressed, this, [this] { d->applyRaceNameChange(); });
    d->watcher = std::make_unique<EventWatcher>(nullptr, [this](QObject* o, QEvent* e) { return d->watch(o, e); });
    d->colourSwatch->installEventFilter(d->watcher.get());
    d->txtRaceName->installEventFilter(d->watcher.get());
    d->txtPlayerName->installEventFilter(d->watcher.get());

    // Show player 1 until the window chooses its own player.
    d->snapshotNames();
    d->txtPlayerNumber->setText(QStringLiteral("1"));
    d->raceNameChanged = false;
}

RaceEditor::~RaceEditor()
{
    // The boxes outlive this body (the base class deletes them), and focus moves while they go:
    // the watcher must not reach the editor's state any more.
    d->watcher.reset();
    d->habitability->stopWatching();
}

void RaceEditor::commitPending()
{
    d->habitability->commitFocused();
    d->restoreRefusedRaceName(d->shown.lock());
    d->restoreRefusedPlayerName(d->shown.lock());
}

bool RaceEditor::raceNameChanged() const
{
    return d->raceNameChanged;
}

void RaceEditor::setRaceNameChanged(bool changed)
{
    d->raceNameChanged = changed;
    // A window (re)load starts from the table as it stands.
    if (!changed) d->snapshotNames();
}

void RaceEditor::applyRaceNameChange()
{
    d->applyRaceNameChange();
}

void RaceEditor::showPlayer(int number)
{
    if (number >= d->playerNumberBar->minimum() && number <= d->playerNumberBar->maximum())
        d->playerNumberBar->setValue(number);
}

} // namespace vornex::ui
