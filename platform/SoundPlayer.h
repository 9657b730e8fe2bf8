#pragma once
// The sound player: one sound at a time, played asynchronously in a loop
// until stopped or replaced. A missing file or a machine without sound is
// not an error: the player then stays silent.

#include <QString>

namespace plat {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Replaces the sound playing (if any) by the file, repeated until stop().
    virtual void playLoop(const QString& file) = 0;
    virtual void stop() = 0;
};

// The player in use: the real one unless a test installed another.
SoundPlayer& soundPlayer();
// Installs a player (not owned); nullptr restores the real one.
void setSoundPlayer(SoundPlayer* player);

} // namespace plat
