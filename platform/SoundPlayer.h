#pragma once
// The sound player: one sound at a time, played asynchronously in a loop
// until stopped or replaced. A missing file or a machine without sound is
// not an error: the player then stays silent.

#include <QString>
#include <QStringList>

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

// Records the calls instead of playing: "play <file>" and "stop".
class FakeSoundPlayer : public SoundPlayer {
public:
    void playLoop(const QString& file) override
    {
        calls << "play " + file;
        playing = file;
    }
    void stop() override
    {
        calls << "stop";
        playing.clear();
    }

    QStringList calls;
    QString playing; // the file looping now, "" when silent
};

} // namespace plat
