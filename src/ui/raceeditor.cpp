#include "ui/raceeditor.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "analysis/numbertext.h"
#include "analysis/numeric.h"
#include "analysis/panel.h"
#include "app/programstate.h"
#include "app/startup.h"
#include "io/codepage.h"
#include "io/planetloader.h"
#include "io/tables.h"
#include "model/keyfold.h"
#include "ui/dialogs.h"

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

// The six range limits; each is taken when its box loses the focus (or on Return).
enum class Limit { GravMin, GravMax, TempMin, TempMax, RadMin, RadMax };
// The three terraforming amounts; each is taken on every change of its box.
enum class Terra { Grav, Temp, Rad };

const char* limitCaption(Limit l)
{
    switch (l) {
    case Limit::GravMin:
        return "Grav Min";
    case Limit::GravMax:
        return "Grav Max";
    case Limit::TempMin:
        return "Temp Min";
    case Limit::TempMax:
        return "Temp Max";
    case Limit::RadMin:
        return "Rad Min";
    case Limit::RadMax:
        return "Rad Max";
    }
    return "";
}

// Passes the events of the boxes it watches to one handler (focus loss, clicks on the swatch).
class EventWatcher : public QObject {
public:
    EventWatcher(QObject* parent, std::function<bool(QObject*, QEvent*)> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return m_handler(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> m_handler;
};

bool isMinimum(Limit l)
{
    return l == Limit::GravMin || l == Limit::TempMin || l == Limit::RadMin;
}

// A name that cannot be written to player.inf as one list item, or not in the file's code page.
QString nameCharacterProblem(const QString& text, const QString& what)
{
    if (text.contains(QLatin1Char('"'))) return QObject::tr("A %1 cannot hold a double quote.").arg(what);
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QObject::tr("A %1 cannot hold a line break.").arg(what);
    bool lossless = true;
    encodeWindows1252(ss(text), &lossless);
    if (!lossless) {
        // Name the first character that has no place in the code page.
        for (const uint c : text.toUcs4()) {
            const char32_t c32 = c;
            const QString one = QString::fromUcs4(&c32, 1);
            bool fits = true;
            encodeWindows1252(ss(one), &fits);
            if (!fits)
                return QObject::tr("A %1 cannot hold \"%2\": player.inf and the export files are Windows-1252 "
                                   "text, which has no such character.")
                    .arg(what, one);
        }
    }
    return {};
}

// A title shows "&" as it is, not as the underline of a shortcut.
QString plainTitle(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Text of a 16-bit number that is refused: not a number at all, or too large for 16 bits.
QString int16Problem(const QString& text)
{
    if (!num::parseStrict(ss(text))) return QObject::tr("\"%1\" is not a number").arg(text);
    return QObject::tr("%1 does not fit in 16 bits (-32768 to 32767)").arg(text);
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

    QScrollBar* hscNumber = nullptr;
    QLineEdit* txtPlayerNumber = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLineEdit* txtPlayerName = nullptr;
    QLineEdit* txtRaceName = nullptr;
    QLabel* lblcmdColour = nullptr;
    std::array<QLineEdit*, 6> limitBoxes{}; // indexed by Limit
    std::array<QLineEdit*, 3> terraBoxes{}; // indexed by Terra
    QObject* watcher = nullptr;             // the event filter on the boxes and the swatch

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

    QLineEdit* limitBox(Limit l) const { return limitBoxes[static_cast<size_t>(l)]; }
    QLineEdit* terraBox(Terra t) const { return terraBoxes[static_cast<size_t>(t)]; }

    // The player whose number txtPlayerNumber spells, or nullptr.
    PlayerPtr edited() const
    {
        const auto n = num::tryInt16(LeadingValue(ss(txtPlayerNumber->text())));
        return state.AllPlayers.At(n.value_or(0));
    }

    // ---- showing whether a box's text was taken ------------------------------------------------

    static void markRefused(QLineEdit* box, const QString& why)
    {
        box->setProperty("refused", true);
        box->setToolTip(why);
        box->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
    }
    static void markTaken(QLineEdit* box)
    {
        if (!box->property("refused").toBool()) return;
        box->setProperty("refused", false);
        box->setToolTip(QString());
        box->setStyleSheet(QString());
    }
    static bool isRefused(const QLineEdit* box) { return box->property("refused").toBool(); }

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
        if (number >= hscNumber->minimum() && number <= hscNumber->maximum() && hscNumber->value() != number) {
            const QSignalBlocker block(hscNumber);
            hscNumber->setValue(number);
        }

        // The order matters: each setText of a changed text runs that box's change handler, which
        // writes the value just read back into the same player. A text that does not change runs
        // nothing, so its box is cleared of an earlier refusal here.
        setNameText(txtPlayerName, qs(p->PlayerName));
        setNameText(txtRaceName, qs(p->RaceName));
        setSwatch(colourFromBgr(p->Colour));
        // A limit box has no change handler: what it showed uncommitted is simply replaced.
        setLimitText(Limit::GravMax, qs(num::singleText(p->GravMax)));
        setLimitText(Limit::GravMin, qs(num::singleText(p->GravMin)));
        terraBox(Terra::Grav)->setText(qs(num::intText(p->GravTerra)));
        setLimitText(Limit::TempMax, qs(num::intText(p->TempMax)));
        setLimitText(Limit::TempMin, qs(num::intText(p->TempMin)));
        terraBox(Terra::Temp)->setText(qs(num::intText(p->TempTerra)));
        setLimitText(Limit::RadMax, qs(num::intText(p->RadMax)));
        setLimitText(Limit::RadMin, qs(num::intText(p->RadMin)));
        terraBox(Terra::Rad)->setText(qs(num::intText(p->RadTerra)));
        q->setTitle(plainTitle(txtRaceName->text()));
    }

    static void setNameText(QLineEdit* box, const QString& text)
    {
        const bool same = box->text() == text;
        box->setText(text);
        if (same) markTaken(box);
    }

    void setLimitText(Limit l, const QString& text)
    {
        QLineEdit* box = limitBox(l);
        box->setText(text);
        markTaken(box);
    }

    void setSwatch(const QColor& c)
    {
        QPalette pal = lblcmdColour->palette();
        pal.setColor(QPalette::Window, c);
        lblcmdColour->setPalette(pal);
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
        host.DrawPic();
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
        host.DrawPic();
    }

    // ---- the Habitability tab ------------------------------------------------------------------

    // Clicks of a gravity from the gravity table, nullopt when it has no row.
    std::optional<int16_t> gravityClicks(float g) const
    {
        if (GravityPtr row = state.AllGravities.Item(gravityKey(g))) return row->Clicks;
        return std::nullopt;
    }

    void commitLimit(Limit l)
    {
        QLineEdit* box = limitBox(l);
        PlayerPtr p = edited();
        if (!p) return;
        const QString text = box->text().trimmed();
        const QString caption = QObject::tr(limitCaption(l));
        Player trial = *p;
        QString why;
        QString stored;

        if (l == Limit::GravMin || l == Limit::GravMax) {
            const std::optional<float> g = num::parseSingle(ss(text));
            const float old = l == Limit::GravMin ? p->GravMin : p->GravMax;
            const float other = l == Limit::GravMin ? p->GravMax : p->GravMin;
            if (!g) {
                why = QObject::tr("\"%1\" is not a number").arg(text);
            } else if (!gravityClicks(*g)) {
                why = QObject::tr("gravity %1 has no row in gravity.csv").arg(qs(gravityKey(*g)));
            } else {
                (l == Limit::GravMin ? trial.GravMin : trial.GravMax) = *g;
                const auto mine = gravityClicks(*g);
                const auto theirs = gravityClicks(other);
                if (theirs && (isMinimum(l) ? *mine > *theirs : *mine < *theirs))
                    why = isMinimum(l)
                              ? QObject::tr("the minimum lies above the maximum %1").arg(qs(num::singleText(other)))
                              : QObject::tr("the maximum lies below the minimum %1").arg(qs(num::singleText(other)));
                else if (theirs && !computeRaceBars(&trial, state.AllGravities).grav)
                    why = QObject::tr("the range bar cannot be drawn for it");
            }
            if (!why.isEmpty()) {
                refuse(
                    box,
                    QObject::tr("%1 not taken: %2. The player keeps %3.").arg(caption, why, qs(num::singleText(old))));
                return;
            }
            stored = qs(num::singleText(*g));
        } else {
            const bool temp = l == Limit::TempMin || l == Limit::TempMax;
            int16_t& field = l == Limit::TempMin   ? trial.TempMin
                             : l == Limit::TempMax ? trial.TempMax
                             : l == Limit::RadMin  ? trial.RadMin
                                                   : trial.RadMax;
            const int16_t old = field;
            const int16_t other = l == Limit::TempMin   ? p->TempMax
                                  : l == Limit::TempMax ? p->TempMin
                                  : l == Limit::RadMin  ? p->RadMax
                                                        : p->RadMin;
            const std::optional<int16_t> v = num::parseInt16(ss(text));
            if (!v) {
                why = int16Problem(text);
            } else {
                field = *v;
                if (isMinimum(l) ? *v > other : *v < other)
                    why = isMinimum(l) ? QObject::tr("the minimum lies above the maximum %1").arg(other)
                                       : QObject::tr("the maximum lies below the minimum %1").arg(other);
                else {
                    const RaceBars bars = computeRaceBars(&trial, state.AllGravities);
                    if (!(temp ? bars.temp : bars.rad)) why = QObject::tr("the range bar cannot be drawn for it");
                }
            }
            if (!why.isEmpty()) {
                refuse(box, QObject::tr("%1 not taken: %2. The player keeps %3.").arg(caption, why).arg(old));
                return;
            }
            stored = qs(num::intText(*v));
        }

        switch (l) {
        case Limit::GravMin:
            p->GravMin = trial.GravMin;
            break;
        case Limit::GravMax:
            p->GravMax = trial.GravMax;
            break;
        case Limit::TempMin:
            p->TempMin = trial.TempMin;
            break;
        case Limit::TempMax:
            p->TempMax = trial.TempMax;
            break;
        case Limit::RadMin:
            p->RadMin = trial.RadMin;
            break;
        case Limit::RadMax:
            p->RadMax = trial.RadMax;
            break;
        }
        // Show the value as stored (12.5 degrees is kept as 12).
        if (box->text() != stored) box->setText(stored);
        markTaken(box);
        host.ChangeRaceHabs();
        // A neighbour refused against the old value is tried again against the new one, so that
        // no box shows a value the record does not hold without saying so.
        const Limit other = partner(l);
        if (isRefused(limitBox(other))) commitLimit(other);
    }

    static Limit partner(Limit l)
    {
        switch (l) {
        case Limit::GravMin:
            return Limit::GravMax;
        case Limit::GravMax:
            return Limit::GravMin;
        case Limit::TempMin:
            return Limit::TempMax;
        case Limit::TempMax:
            return Limit::TempMin;
        case Limit::RadMin:
            return Limit::RadMax;
        case Limit::RadMax:
            return Limit::RadMin;
        }
        return l;
    }

    void terraChanged(Terra t, const QString& text)
    {
        QLineEdit* box = terraBox(t);
        PlayerPtr p = edited();
        if (!p) return;
        int16_t& field = t == Terra::Grav ? p->GravTerra : t == Terra::Temp ? p->TempTerra : p->RadTerra;
        const std::optional<int16_t> v = num::parseInt16(ss(text.trimmed()));
        if (!v) {
            const char* caption = t == Terra::Grav   ? "Grav Terraform"
                                  : t == Terra::Temp ? "Temp Terraform"
                                                     : "Rad Terraform";
            refuse(box, QObject::tr("%1 not taken: %2. The player keeps %3.")
                            .arg(QObject::tr(caption), int16Problem(text.trimmed()))
                            .arg(field));
            return;
        }
        field = *v;
        markTaken(box);
    }

    // Focus loss of the race-name and limit boxes, and clicks on the colour swatch.
    bool watch(QObject* watched, QEvent* event)
    {
        if (watched == lblcmdColour) {
            if (event->type() == QEvent::MouseButtonRelease) {
                auto* me = static_cast<QMouseEvent*>(event);
                if (me->button() == Qt::LeftButton && lblcmdColour->rect().contains(me->position().toPoint())) {
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
        for (size_t i = 0; i < limitBoxes.size(); ++i)
            if (watched == limitBoxes[i]) commitLimit(static_cast<Limit>(i));
        return false;
    }

    // A race name left refused on a player goes back to its applied name.
    void restoreRefusedRaceName(const PlayerPtr& player)
    {
        if (!player || !isRefused(txtRaceName)) return;
        const std::string previous = appliedName(player);
        if (raceNameProblem(player, qs(previous)).isEmpty()) player->RaceName = previous;
    }

    // A limit box left while the scroll bar is moved is still committed to the player it showed.
    void commitFocusedLimit()
    {
        QWidget* focus = QApplication::focusWidget();
        for (size_t i = 0; i < limitBoxes.size(); ++i)
            if (limitBoxes[i] == focus) commitLimit(static_cast<Limit>(i));
    }
};

namespace {

QLabel* caption(QWidget* parent, const char* name, const QString& text, const QRect& box)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(box);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QRect& box)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(box);
    return e;
}

} // namespace

RaceEditor::RaceEditor(ProgramState& state, SettingsStore& settings, Prompter& prompter, RaceEditorHost& host,
                       QWidget* parent)
    : QGroupBox(parent), d(new Impl(this, state, settings, prompter, host))
{
    setObjectName(QStringLiteral("frameRace"));
    QFont small = font();
    small.setPointSizeF(8.25);

    d->SSTab1 = new QTabWidget(this);
    d->SSTab1->setObjectName(QStringLiteral("SSTab1"));
    d->SSTab1->setGeometry(8, 16, 251, 129);
    setFont(small);

    // "General": player name, race name, colour.
    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("General"));
    caption(general, "lblPlayerName", tr("Player"), QRect(8, 10, 50, 19));
    d->txtPlayerName = textBox(general, "txtPlayerName", QRect(64, 8, 169, 21));
    caption(general, "lblRaceName", tr("Race"), QRect(8, 38, 50, 19));
    d->txtRaceName = textBox(general, "txtRaceName", QRect(64, 36, 169, 21));
    caption(general, "lblRaceColour", tr("Colour"), QRect(8, 66, 50, 19));
    d->lblcmdColour = caption(general, "lblcmdColour", QString(), QRect(64, 64, 41, 21));
    d->lblcmdColour->setAutoFillBackground(true);
    d->lblcmdColour->setFrameShape(QFrame::Box);
    d->lblcmdColour->setCursor(Qt::PointingHandCursor);
    d->lblcmdColour->setToolTip(tr("Click to choose the race's colour"));
    d->setSwatch(Qt::black);

    // "Habitability": a 3 by 3 grid of limits and terraforming amounts.
    auto* habs = new QWidget;
    habs->setObjectName(QStringLiteral("Habitability"));
    struct Column {
        const char* header;
        const char* headerText;
        std::array<const char*, 3> rowLabels;
        std::array<const char*, 3> boxes;
    };
    const std::array<Column, 3> columns{{
        {"Label12", "Min Value", {"Label18", "Label17", "Label16"}, {"txtGravMin", "txtTempMin", "txtRadMin"}},
        {"Label11", "Max Value", {"Label15", "Label14", "Label13"}, {"txtGravMax", "txtTempMax", "txtRadMax"}},
        {"Label23", "Terraform", {"Label21", "Label20", "Label19"}, {"txtGravTerra", "txtTempTerra", "txtRadTerra"}},
    }};
    const std::array<const char*, 3> rowTexts{"Grav", "Temp", "Rad"};
    std::array<std::array<QLineEdit*, 3>, 3> grid{};
    for (int c = 0; c < 3; ++c) {
        const int left = 4 + 81 * c;
        caption(habs, columns[size_t(c)].header, tr(columns[size_t(c)].headerText), QRect(left, 4, 78, 17));
        for (int r = 0; r < 3; ++r) {
            const int top = 24 + 24 * r;
            caption(habs, columns[size_t(c)].rowLabels[size_t(r)], tr(rowTexts[size_t(r)]),
                    QRect(left, top + 2, 30, 17));
            grid[size_t(c)][size_t(r)] =
                textBox(habs, columns[size_t(c)].boxes[size_t(r)], QRect(left + 30, top, 45, 21));
        }
    }
    d->limitBoxes = {grid[0][0], grid[1][0], grid[0][1], grid[1][1], grid[0][2], grid[1][2]};
    d->terraBoxes = {grid[2][0], grid[2][1], grid[2][2]};
    // Tab walks each row: minimum, maximum, terraform.
    for (int r = 0; r < 3; ++r) {
        setTabOrder(grid[0][size_t(r)], grid[1][size_t(r)]);
        setTabOrder(grid[1][size_t(r)], grid[2][size_t(r)]);
        if (r < 2) setTabOrder(grid[2][size_t(r)], grid[0][size_t(r) + 1]);
    }

    d->SSTab1->addTab(general, tr("General"));
    d->SSTab1->addTab(habs, tr("Habitability"));
    d->SSTab1->setCurrentWidget(habs);

    // The player chooser below the tabs.
    QLabel* numberCaption = caption(this, "lblPlayerNumber", tr("Player Number"), QRect(8, 150, 80, 19));
    // The caption keeps its whole text in the font in use; the box moves right if it must.
    const int captionWidth = std::max(80, numberCaption->fontMetrics().horizontalAdvance(numberCaption->text()) + 4);
    numberCaption->resize(captionWidth, 19);
    d->txtPlayerNumber = textBox(this, "txtPlayerNumber", QRect(8 + captionWidth, 148, 33, 21));
    d->hscNumber = new QScrollBar(Qt::Horizontal, this);
    d->hscNumber->setObjectName(QStringLiteral("hscNumber"));
    d->hscNumber->setGeometry(8, 172, 113, 16);
    d->hscNumber->setRange(1, 16);
    d->hscNumber->setPageStep(1);
    d->hscNumber->setValue(1);

    connect(d->hscNumber, &QScrollBar::valueChanged, this, [this](int value) {
        d->commitFocusedLimit();
        d->txtPlayerNumber->setText(QString::number(value));
    });
    connect(d->txtPlayerNumber, &QLineEdit::textChanged, this, [this] { d->playerNumberChanged(); });
    connect(d->txtPlayerName, &QLineEdit::textChanged, this, [this](const QString& t) { d->playerNameChanged(t); });
    connect(d->txtRaceName, &QLineEdit::textChanged, this, [this](const QString& t) { d->raceNameEdited(t); });
    connect(d->txtRaceName, &QLineEdit::returnPressed, this, [this] { d->applyRaceNameChange(); });
    auto* watcher = new EventWatcher(this, [this](QObject* o, QEvent* e) { return d->watch(o, e); });
    d->watcher = watcher;
    d->lblcmdColour->installEventFilter(watcher);
    d->txtRaceName->installEventFilter(watcher);
    d->txtPlayerName->installEventFilter(watcher);
    for (size_t i = 0; i < d->limitBoxes.size(); ++i) {
        QLineEdit* box = d->limitBoxes[i];
        box->installEventFilter(watcher);
        connect(box, &QLineEdit::returnPressed, this, [this, i] { d->commitLimit(static_cast<Limit>(i)); });
    }
    for (size_t i = 0; i < d->terraBoxes.size(); ++i)
        connect(d->terraBoxes[i], &QLineEdit::textChanged, this,
                [this, i](const QString& t) { d->terraChanged(static_cast<Terra>(i), t); });

    // Show player 1 until the window chooses its own player.
    d->snapshotNames();
    d->txtPlayerNumber->setText(QStringLiteral("1"));
    d->raceNameChanged = false;
}

RaceEditor::~RaceEditor()
{
    // The boxes outlive this body (the base class deletes them), and focus moves while they go:
    // the watcher must not reach the editor's state any more.
    delete d->watcher;
    delete d;
}

void RaceEditor::commitPending()
{
    d->commitFocusedLimit();
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

} // namespace vornex::ui
