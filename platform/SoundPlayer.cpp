#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace plat {

namespace {

// Over Qt Multimedia. The effect is made on the first play, so a run that
// never sounds never touches the audio system, and it belongs to the
// application so that it goes before the audio system does.
class QtSoundPlayer : public SoundPlayer {
public:
    void playLoop(const QString& file) override
    {
        stop();
        if (!QFileInfo(file).isFile() || !QCoreApplication::instance())
            return;
        if (QMediaDevices::audioOutputs().isEmpty())
            return;
        if (!m_effect)
            m_effect = new QSoundEffect(QCoreApplication::instance());
        m_effect->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
        m_effect->setLoopCount(QSoundEffect::Infinite);
        m_effect->play();
    }

    void stop() override
    {
        if (m_effect)
            m_effect->stop();
    }

private:
    QPointer<QSoundEffect> m_effect;
};

SoundPlayer* g_installed = nullptr;

} // namespace

SoundPlayer& soundPlayer()
{
    static QtSoundPlayer real;
    return g_installed ? *g_installed : real;
}

void setSoundPlayer(SoundPlayer* player)
{
    g_installed = player;
}

} // namespace plat
