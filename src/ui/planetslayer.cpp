#include "ui/planetslayer.h"

#include <QObject>
#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "app/programstate.h"
#include "ui/mapstyle.h"

namespace vornex::ui {

using namespace mapstyle;

PlanetsLayer::PlanetsLayer() : MapLayer(QStringLiteral("Planets layer"), QString(), Kind::Kept) {}

void PlanetsLayer::clear()
{
    m_sprites.clear();
    ++m_generation;
    m_built = false;
    m_entries.clear();
    m_styles.clear();
}

uint64_t PlanetsLayer::signature(const MapScene& scene)
{
    // Over budget, the sprites start again (the styles point into them): a fresh draw follows.
    if (m_sprites.overBudget()) clear();
    const ProgramState& state = scene.state;
    SignatureHash h;
    h.add(m_generation);
    // A planet's colour follows from its owner text, its report age and the players table.
    for (const auto& player : state.AllPlayers) {
        if (!player) continue;
        h.add(player->RaceName);
        auto keyed = state.AllPlayers.Find(player->RaceName);
        h.add(keyed ? uint64_t(uint32_t(keyed->Colour)) : 0x100000000ull);
    }
    h.add(uint64_t(state.AllPlayers.Count()));
    m_walk.clear();
    m_walk.reserve(std::size_t(state.AllPlanets.Count()));
    for (const auto& planet : state.AllPlanets) {
        const uint64_t at = (uint64_t(uint16_t(planet->Xcord)) << 16) | uint16_t(planet->Ycord);
        const uint64_t owner = std::hash<std::string_view>()(planet->Owner);
        h.add((at << 16) | uint16_t(planet->ReportAge));
        h.add(owner);
        m_walk.push_back({planet->Xcord, planet->Ycord, planet->ReportAge, owner, planet.get()});
    }
    m_signature = h.value();
    return m_signature;
}

void PlanetsLayer::build(const MapScene& scene)
{
    // Owners resolved once per distinct owner text, found by its hash in a small direct-mapped
    // table (a slot taken by another owner is resolved again). Styles 0 and 1 are the grey planets
    // (grey and red outline); known races follow, one per colour.
    m_styles.clear();
    m_styles.push_back(Style{lightGrey(), lightGrey(), false, {}});
    m_styles.push_back(Style{red(), lightGrey(), false, {}});
    std::unordered_map<std::string_view, int> owners;
    auto knownStyle = [&](const std::string& owner) {
        auto it = owners.find(owner);
        if (it != owners.end()) return it->second;
        int known = -1;
        if (knownRace(scene.state, owner)) {
            if (auto c = keyedColour(scene.state, owner)) {
                for (std::size_t i = 2; i < m_styles.size() && known < 0; ++i)
                    if (m_styles[i].fill == *c) known = int(i);
                if (known < 0) {
                    m_styles.push_back(Style{*c, *c, true, {}});
                    known = int(m_styles.size() - 1);
                }
            }
        }
        owners.emplace(owner, known);
        return known;
    };
    struct Slot {
        uint64_t hash = 0;
        int known = -1;
        bool used = false;
    };
    std::array<Slot, 256> ownerSlots{};
    m_entries.clear();
    m_entries.reserve(m_walk.size());
    for (const Walked& w : m_walk) {
        Slot& slot = ownerSlots[w.ownerHash & 255u];
        if (!slot.used || slot.hash != w.ownerHash) slot = Slot{w.ownerHash, knownStyle(w.planet->Owner), true};
        const int style = slot.known >= 0 ? slot.known : w.reportAge == -1 ? 0 : 1;
        m_entries.push_back({w.x, w.y, w.x * scene.grid.sx, w.y * scene.grid.sy, uint16_t(style)});
    }
    m_built = true;
    m_builtSignature = m_signature;
    m_builtSx = scene.grid.sx;
    m_builtSy = scene.grid.sy;
    m_builtDpr = scene.dpr();
}

namespace {

// Where a disc centred at (px, py) lands: the pixel (fx, fy) and the sub-pixel phase (qx, qy).
void placeDisc(double px, double py, double& fx, double& fy, int& qx, int& qy)
{
    fx = std::floor(px);
    fy = std::floor(py);
    qx = int((px - fx) * kSpritePhases + 0.5); // both fractions are at least 0
    qy = int((py - fy) * kSpritePhases + 0.5);
    if (qx == kSpritePhases) {
        qx = 0;
        fx += 1;
    }
    if (qy == kSpritePhases) {
        qy = 0;
        fy += 1;
    }
}

} // namespace

void PlanetsLayer::paint(LayerCanvas& canvas, const MapScene& scene)
{
    if (!m_built || m_builtSignature != m_signature || m_builtSx != scene.grid.sx || m_builtSy != scene.grid.sy ||
        m_builtDpr != scene.dpr())
        build(scene);
    const double dpr = scene.dpr();
    const double unit = scene.unit();
    const double pen = kPenWidth * dpr;
    const double margin = kKnownCap * dpr + pen + 4;
    const int16_t xs = scene.view.XStart, ys = scene.view.YStart;
    // Where each disc lands first, and which sprites the cache lacks for them.
    m_placed.clear();
    std::vector<std::pair<std::size_t, int>> missing; // style, phase
    std::vector<std::array<bool, kSpritePhases * kSpritePhases>> wanted(m_styles.size());
    for (int i = 0; i < canvas.count; ++i) {
        const QRect& a = canvas.areas[i];
        const double left = a.left() - margin, right = a.right() + 1 + margin;
        const double top = a.top() - margin, bottom = a.bottom() + 1 + margin;
        for (const Entry& e : m_entries) {
            // A planet whose distance from the origin leaves 16 bits cannot be placed.
            const int dx = int(e.x) - xs, dy = int(e.y) - ys;
            if (dx < -32768 || dx > 32767 || dy < -32768 || dy > 32767) continue;
            const double px = e.gx - double(scene.grid.originX);
            const double py = e.gy - double(scene.grid.originY);
            if (px < left || py < top || px > right || py > bottom) continue;
            double fx, fy;
            int qx, qy;
            placeDisc(px, py, fx, fy, qx, qy);
            const int phase = qx * kSpritePhases + qy;
            bool& w = wanted[e.style][std::size_t(phase)];
            if (!w && !m_styles[e.style].sprites[std::size_t(phase)]) missing.emplace_back(e.style, phase);
            w = true;
            m_placed.push_back({int(fx), int(fy), e.style, uint8_t(phase), uint8_t(i)});
        }
    }
    makeSprites(missing, unit, dpr);
    auto* bits = reinterpret_cast<uint32_t*>(canvas.image.bits());
    const int stride = canvas.image.bytesPerLine() / 4;
    for (const Placed& p : m_placed) {
        const Sprite& sprite = *m_styles[p.style].sprites[p.phase];
        blend(bits, stride, canvas.areas[p.area], sprite, p.x + sprite.left, p.y + sprite.top);
    }
}

void PlanetsLayer::makeSprites(const std::vector<std::pair<std::size_t, int>>& missing, double unit, double dpr)
{
    // At the first draw of a galaxy that is every style at nearly every sub-pixel place, about a
    // thousand antialiased circles, some 4 ms. They are made on this thread alone: the painter
    // allocates at every circle, and two threads drawing at once spent most of their time waiting
    // for each other on the one heap every thread shares (prepareHeapForLoading), up to five
    // times as long.
    const double pen = kPenWidth * dpr;
    for (const auto& [styleIndex, phase] : missing) {
        Style& style = m_styles[styleIndex];
        const SpriteKey key{style.outline.rgb(),   style.fill.rgb(),     discRadius(style.known, unit) * dpr, pen,
                            phase / kSpritePhases, phase % kSpritePhases};
        // The cache outlives the styles (a new signature builds them afresh): what it holds is
        // not made again.
        const Sprite* kept = m_sprites.find(key);
        style.sprites[std::size_t(phase)] = kept ? kept : &m_sprites.put(key, makeSprite(key));
    }
}

} // namespace vornex::ui
