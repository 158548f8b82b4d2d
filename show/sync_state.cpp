// Music synchronisation: the song position the sync callback stores and every loop reads.
#include "show/show_state.h"

SyncState syncState;

void SyncState::RegisterSync(DWORD channel) {
    this->channel.store(channel, std::memory_order_relaxed);
    // Low 16 bits: the order to match, high 16 bits: the row; 0xFFFF in both means every row.
    const DWORD everyRowOfEveryOrder = 0xFFFFu | (0xFFFFu << 16);
    BASS_ChannelSetSync(channel, BASS_SYNC_POS, everyRowOfEveryOrder, OnMusicSync);
}

// Runs on the audio thread: two single stores, no lock (a loop may see the row of one call
// with the order of the next).
void OnMusicSync(DWORD sync, DWORD channel, DWORD data) {
    (void)sync;
    (void)channel;
    syncState.row.store(int32_t(data >> 16), std::memory_order_relaxed);
    syncState.order.store(int32_t(data & 0xFFFFu), std::memory_order_relaxed);
}
