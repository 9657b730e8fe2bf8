#pragma once
// The mirrors: what happens on one module is copied to others. Every
// dispatched event of a module or channel (and every channel event of a
// synchronisation pass) is handed to DoMirrors, which finds the configured
// mirrors whose source is that module and channel and queues register writes
// to their targets through the engine's SendCommand. The family of a module
// is by its configured model: models 1 and 3 keep an event buffer, model 2
// takes its channel states as written registers, models 4 and 5 take no
// mirror. IsMirrorLoop is the test the mirror editors make before they
// accept a mirror.

#include "program/bus/DispatchSeams.h"

#include "platform/DateTime.h"

#include <QString>
#include <QVector>

#include <optional>

class EventClass;
class MirrorClass;
class MirrorClasses;
class PanelClass;
class PollingEngine;

class Miroirs : public Dispatch::Mirrors {
public:
    // What DoMirrors does with one mirror, by the families of its two ends
    // and its channels.
    enum class Action { Nothing, R3R3, R3R2, V3V3, V3V2, R2R3, R2R2, Error };

    // Mirror types of a channel mirror: 1 copies the acknowledged state, 2
    // latches it until the midnight pass finds every source back to normal.
    static constexpr int MirrorTypeCopy = 1;
    static constexpr int MirrorTypeLatch = 2;
    // The trace line of an unsupported mirror is cut to this length.
    static constexpr int ErrorLineMax = 80;
    // Channels packed into one word of a model 2 module, three bits each.
    static constexpr int ChannelsPerPackedWord = 5;

    // The engine whose queue takes the writes, whose clock stamps them and
    // whose trace log takes the error lines; nullptr: the engine form's.
    explicit Miroirs(PollingEngine* engine = nullptr) : m_engine(engine) {}
    void setEngine(PollingEngine* engine) { m_engine = engine; }

    // Applies every mirror of the configuration whose source is the event's
    // module and channel, in list order.
    void DoMirrors(const EventClass& evt) override;
    // A module-wide event of a model 2 module: its own channel states go back
    // to its packed registers.
    void TraitementR2R2Self(const EventClass& evt) override;

    // The copy routines; each reports its own errors under "Miroirs.<name>".
    void TraitementR3R3(const EventClass& evt, const MirrorClass& mirror);
    void TraitementR3R2(const EventClass& evt, const MirrorClass& mirror);
    void TraitementV3V3(const EventClass& evt, const MirrorClass& mirror);
    void TraitementV3V2(const EventClass& evt, const MirrorClass& mirror);
    void TraitementR2R3(const EventClass& evt, const MirrorClass& mirror);
    void TraitementR2R2(const EventClass& evt, const MirrorClass& mirror);
    // Writes the "MIRROR ERROR" line of a mirror no routine supports.
    void LogErreur(const MirrorClass& mirror);

    // True when following mirrors backwards from (module, channel) reaches
    // (startModule, startChannel), or when the two pairs are one: the editors
    // pass a new mirror's source and target, and true means that the mirror
    // would close a cycle. Each pair is visited once, so a list that already
    // holds a cycle (read from a file) still gives an answer.
    static bool IsMirrorLoop(const MirrorClasses& mirrors, int module, int channel, int startModule, int startChannel);

    // ---- The rules, apart from the queue ----
    static Action Choose(int sourceModel, int fromChannel, int targetModel, int toChannel);
    // The value a channel-to-channel copy between buffer modules writes, if any.
    static std::optional<qint16> V3V3Value(int param, int aff, int mirrorType);
    // The packed channel states of a model 2 module: five channels a word,
    // three bits a channel (State And 7), the lowest channel in the lowest bits.
    static QVector<qint16> PackedStates(const PanelClass& panel);
    // The trace line of an unsupported mirror, trimmed and cut.
    static QString ErrorLine(const plat::DateTime& at, const QString& mirrorId);

private:
    PollingEngine& engine() const;
    // Queues a write of values from reg to the target module, SendTime now.
    void write(int module, int reg, const QVector<qint16>& values);

    PollingEngine* m_engine = nullptr;
};
