#pragma once
// A sound player that records the calls instead of playing: "play <file>"
// and "stop".

#include "platform/SoundPlayer.h"

#include <QStringList>

namespace testing_support {

class FakeSoundPlayer : public plat::SoundPlayer {
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

} // namespace testing_support
