#include "core/like_run.h"

#include "core/desktop.h"
#include "core/table.h"

namespace {

// Test builds of the run divide every wait by this, so that a long run over
// many rows takes seconds; the program keeps the full waits.
#ifndef TOLLIVAR_RUN_WAIT_DIVISOR
#define TOLLIVAR_RUN_WAIT_DIVISOR 1
#endif
constexpr std::int32_t kWaitDivisor = TOLLIVAR_RUN_WAIT_DIVISOR;

// A card window that is hidden (one that is closing lingers so for a while)
// does not count: a click at its point would land on whatever lies there.
WindowHandle FindCard() {
  const WindowHandle card = FindWindowByClassAndTitle(ProfileTitleFragment, ProfileWindowClass);
  return IsWindowShown(card) ? card : 0;
}

WindowHandle WaitForCard() {
  WindowHandle card = FindCard();
  for (std::int32_t waited = 0; card == 0 && waited < CardLookLimit; waited += CardLookInterval) {
    RunWait(CardLookInterval / kWaitDivisor);
    card = FindCard();
  }
  return card;
}

// Never clicks without a card: with no window the clicks would land on
// whatever lies at that screen point.
const char* LikeCard(WindowHandle card) {
  if (card == 0) return StatusCardNotFound;
  for (int k = 0; k < LikeClickCount; ++k) {
    // The user or the client may close the card midway: stop clicking then.
    if (!IsWindowShown(card)) return StatusCardNotFound;
    ClickAtWindowPoint(card, LikePoint.x, LikePoint.y);
    RunWait(LikeClickInterval / kWaitDivisor);
  }
  RequestClose(card);
  return StatusLiked;
}

}  // namespace

void LikeRun() {
  const std::int32_t n = RowCount();
  for (std::int32_t i = 1; i <= n; ++i) {
    // The status goes to the row the number came from, wherever other
    // threads have moved it meanwhile; a row that is gone gets none.
    RowId row = 0;
    const AnsiText number = ReadCellWithId(i - 1, kColumnNumber, &row);
    OpenUrl(ConcatText({ProfileUrlPrefix, number}));
    RunWait(CardSettleDelay / kWaitDivisor);
    const char* status = LikeCard(WaitForCard());
    if (row != 0) SetCellTextOfRow(row, kColumnStatus, status);
  }
}
