#pragma once
// Passes the events of the objects it watches to one handler, for widgets that react to events of
// their child controls (focus loss, clicks on a label) without a subclass for each control.

#include <QObject>

#include <functional>
#include <utility>

namespace vornex::ui {

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

} // namespace vornex::ui
