#pragma once
// What the engine asks of the alarm screen wRunAlarms. The engine sits below
// the screen and reaches it only by name through the form registry; the
// screen implements this interface beside its own members.

#include <QString>
#include <QtGlobal>

class EventClass;

class AlarmScreenLink {
public:
    virtual ~AlarmScreenLink() = default;

    // The alarm rows, top first: the text of each and its row data (the ID of
    // the event that last wrote it).
    virtual int AlarmRowCount() const = 0;
    virtual QString AlarmRowText(int row) const = 0;
    virtual qint32 AlarmRowData(int row) const = 0;
    // The handler of the engine's BusEvent, called straight with a rebuilt
    // event by the re-announcement.
    virtual void mwComm_BusEvent(const EventClass& evt) = 0;
    // The login indicator shows this access level.
    virtual void ShowLoginLevel(int level) = 0;
    // Every row goes; the pointer and the empty-list text follow.
    virtual void ClearAlarmRows() = 0;
    // The picture that marks a synchronisation pass in progress.
    virtual void setSynchroMarkVisible(bool visible) = 0;
};

namespace AlarmScreen {

// The alarm screen when it is loaded and is one, else nullptr.
AlarmScreenLink* Loaded();
// The alarm screen, loaded on first use (hidden); nullptr when the form
// registered under its name is none.
AlarmScreenLink* Get();

} // namespace AlarmScreen
