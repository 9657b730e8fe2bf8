#pragma once
// The inactivity detector Stillmark (type library Stillwatch): identifiers,
// the activity flags, the detector's interface and its event interface.
//
// Events reach the program the way a connection point delivers them: the
// program implements __ActivityDetect (a reference-counted sink, e.g. on
// plat::ComObject<__ActivityDetect, IID___ActivityDetect>), hands it to
// Advise, which keeps a reference and returns a cookie, and gives the cookie
// back to Unadvise, which drops that reference. Events are called on the
// thread that created the detector, from its Qt event loop, in Advise order.
// A sink may Unadvise, or release the detector, from inside an event.

#include "platform/Component.h"

#include <QString>
#include <cstdint>

namespace Stillmark {

inline const QString kTitle = QStringLiteral("Stillmark");
inline const QString kTypeLibName = QStringLiteral("Stillwatch");
inline const QString kTypeLibHelp = QStringLiteral("User activity detection");
inline const QString kVersion = QStringLiteral("1.00");
inline const QString kActivityDetectHelp = QStringLiteral("Inactivity detection class");

inline constexpr plat::Guid LIBID_Stillwatch = plat::Guid::parse("C7AEF93F-F0AC-4183-8C26-D432BF903547");
inline constexpr plat::Guid CLSID_ActivityDetect = plat::Guid::parse("C9C15AA3-4AEC-4378-B1E7-9A10DFA47459");
inline constexpr plat::Guid IID_ActivityDetect = plat::Guid::parse("D5232FA3-4116-4080-B6AE-0B0A90D1A93F");
inline constexpr plat::Guid IID___ActivityDetect = plat::Guid::parse("F3763435-B826-42A5-8741-83A280E69A1D");
inline constexpr plat::Guid ENUMID_ACTIVITYDETECT_FLAG = plat::Guid::parse("0900367F-4023-4233-911B-AFC3AB6846C4");

// The bits of ActivityDetect::State: what the last sampling tick saw.
enum ACTIVITYDETECT_FLAG : int32_t {
    CURSOR_ACTIVITY = 1,
    KEYBRD_ACTIVITY = 2,
    JOYSTK_ACTIVITY = 4,
};

// The event interface, implemented by the program.
struct __ActivityDetect : plat::IUnknown {
    // A sampling tick found nobody at the panel (raised at every such tick).
    virtual void UserIsNotHere() = 0;
    // Every sampling tick.
    virtual void Timer() = 0;

protected:
    ~__ActivityDetect() = default;
};

// The detector. Set SamplingInterval (> 0) and N (>= 1) before Enabled = true.
struct _ActivityDetect : plat::IUnknown {
    virtual bool IsUserSleep() = 0;
    virtual bool IsScreenSaverRunning() = 0;
    virtual ACTIVITYDETECT_FLAG State() = 0;
    // Milliseconds between ticks. Raises error 6 when SamplingInterval x N
    // does not fit 32 bits.
    virtual void setSamplingInterval(int32_t lngValue) = 0;
    virtual int32_t SamplingInterval() = 0;
    virtual void setEnabled(bool blnValue) = 0;
    virtual bool Enabled() = 0;
    // Samples in the window; raises error 9 below 1 and error 6 when
    // SamplingInterval x N does not fit 32 bits. Starts a fresh window.
    virtual void setN(int32_t lngValue) = 0;
    virtual int32_t N() = 0;

    // Connects a sink; returns its cookie (never 0). Raises error 91 for a null sink.
    virtual uint32_t Advise(__ActivityDetect* sink) = 0;
    // Disconnects the sink of that cookie; raises error 5 for an unknown cookie.
    virtual void Unadvise(uint32_t cookie) = 0;

protected:
    ~_ActivityDetect() = default;
};

} // namespace Stillmark
