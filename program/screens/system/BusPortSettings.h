#pragma once
// The bus settings screen's decisions, apart from its window: what the
// configured bus settings text shows in the port, speed and stop bits fields,
// how a new port number reaches the live serial port at once, and how the
// accepted fields reach the port and the configuration. A port change that
// cannot open the new port leaves polling stopped while the screen is open;
// polling that ran before is started again by a later change that opens a
// port, and, however the screen goes, handed to the engine, which starts it
// as soon as it has the port open. Whenever the port number changes, the
// commands queued for the line being left never reach the other one.

#include <QString>

#include <optional>

namespace plat {
class SerialControl;
}

class BusPortSettings {
public:
    // The editable fields, numbered as the screen's pointer numbers them.
    enum Field { FieldPort = 1, FieldSpeed = 2, FieldStop = 3, FieldAutoStart = 4 };
    static constexpr int FieldCount = 4;

    // The texts of the three number fields; what cannot be read stays empty.
    struct Texts {
        QString port;
        QString speed;
        QString stop;
    };
    // "COM" + port + ":" + speed + ",N,8," + stop bits, read into the fields;
    // a port that is no port number 1..255 is left empty, and so is every
    // field of a text without ":".
    static Texts Read(const QString& busSettings);
    // The port a field names: a number that rounds to 1..255, the ports the picker offers.
    static std::optional<int> PortNumber(const QString& text);
    // The picker's list of values for a field; "" for none.
    static QString ValuesList(int field);
    // The id of the text naming a parity letter: 100020 + its place in "NEO".
    static int ParityText(const QString& letter);

    // What the decisions need of the engine and of the screen.
    class Host {
    public:
        virtual ~Host() = default;
        virtual bool Run() const = 0;
        virtual void setRun(bool run) = 0;
        // Polling waits for its port (an automatic start without it).
        virtual bool RunsWhenPortOpens() const = 0;
        // Polling starts now on an open port, else as soon as the engine has it open.
        virtual void RunWhenPortOpens() = 0;
        virtual plat::SerialControl& CommBus() = 0;
        // The port goes to another line: the commands queued for the one
        // being left are removed unsent.
        virtual void LeaveLine() = 0;
        // Tells the operator that the port cannot be opened (text 630100).
        virtual void PortCannotOpen() = 0;
    };

    explicit BusPortSettings(Host& host) : m_host(host) {}

    // The port field changed: a valid number other than the port's is put on
    // the port at once. True when it was (the screen then counts as changed).
    bool ApplyPort(const QString& portText);
    // The fields accepted: the port renumbered when it differs, the speed and
    // stop bits put on the port, then the configuration's bus settings and
    // automatic start, saved when the configuration changed. False, with
    // nothing changed, when a field holds no valid value.
    bool UpdateConfig(const Texts& fields, bool autoStart);
    // The screen is left (Yes or No): polling that a failed port change
    // stopped is the engine's to start again.
    void Leave();
    // The screen went away without being left (the inactivity logout, an
    // alarm): the configured port number is put back on the port, without a
    // box and without touching the configuration, and polling that ran
    // before this screen's change is the engine's to start again.
    void Abandon(const QString& configuredPort);
    // Polling ran when a port change failed and waits for an open port.
    bool Held() const { return m_held; }

private:
    // The port closed, renumbered and opened again; true when it opened.
    bool renumber(int number);

    Host& m_host;
    bool m_held = false;
};
