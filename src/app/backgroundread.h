#pragma once
// A game's files read on a thread of their own, so that the toolkit can start and the window be
// built while they are read (the machine's second core does the reading).

#include <exception>
#include <optional>
#include <thread>

#include "app/startup.h"

namespace vornex {

class BackgroundRead {
public:
    // Starts reading the game's tables at once.
    explicit BackgroundRead(Game game);
    // Waits for the reading when its tables were not taken.
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    // Waits until the files are read and hands over the tables, exactly as readGameTables gives
    // them; what reading them threw is thrown here. Once only.
    GameTables take();

private:
    std::optional<GameTables> m_tables;
    std::exception_ptr m_error;
    std::thread m_thread;
};

} // namespace vornex
