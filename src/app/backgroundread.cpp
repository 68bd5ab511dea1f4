#include "app/backgroundread.h"

#include <utility>

#include "app/starttrace.h"

namespace vornex {

BackgroundRead::BackgroundRead(Game game)
    : m_thread([this, game = std::move(game)] {
          traceStartStep("reading started");
          try {
              m_tables = readGameTables(game);
              traceStartStep("files read");
          } catch (...) {
              m_error = std::current_exception();
          }
      })
{
}

BackgroundRead::~BackgroundRead()
{
    if (m_thread.joinable()) m_thread.join();
}

GameTables BackgroundRead::take()
{
    if (m_thread.joinable()) m_thread.join();
    if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
    GameTables tables = std::move(m_tables.value());
    m_tables.reset();
    return tables;
}

} // namespace vornex
