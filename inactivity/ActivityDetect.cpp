#include "ActivityDetect.h"

#include "ModIsUserSleep.h"
#include "platform/ComponentClasses.h"
#include "platform/RtError.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Stillmark {

COMPONENT_CLASS(ActivityDetect, _ActivityDetect, CLSID_ActivityDetect, IID_ActivityDetect);

namespace {

// A pointer that drifts less than this on both axes has not moved: a finger
// resting on the touch screen jitters.
constexpr int kCursorTolerance = 16;

// CLng(interval * n / 1000): the product must fit 32 bits, halves round to even.
int32_t windowSeconds(int32_t interval, int32_t n)
{
    const int64_t product = int64_t(interval) * n;
    if (product > std::numeric_limits<int32_t>::max() || product < std::numeric_limits<int32_t>::min())
        plat::raise(plat::rt::Overflow, kTitle);
    const int64_t magnitude = product < 0 ? -product : product;
    int64_t q = magnitude / 1000;
    const int64_t r = magnitude % 1000;
    if (r > 500 || (r == 500 && (q & 1)))
        ++q;
    return int32_t(product < 0 ? -q : q);
}

} // namespace

ActivityDetect::ActivityDetect() : ActivityDetect(defaultSources()) {}

ActivityDetect::ActivityDetect(ActivitySources sources)
    : m_sources(std::move(sources)), m_objTimer(std::make_unique<CTimer>())
{
    if (!m_sources.clock)
        m_sources.clock = &plat::systemClock();
    QObject::connect(m_objTimer.get(), &CTimer::Timer, [this] { m_objTimer_Timer(); });
    // The key source lives as long as the detector, like a keyboard hook.
    if (m_sources.keys)
        m_sources.keys->setKeyDownHandler([clock = m_sources.clock] {
            ModIsUserSleep::setLastKeyTime(clock->nowMs());
        });
    ModIsUserSleep::setLastKeyTime(m_sources.clock->nowMs());
}

ActivityDetect::~ActivityDetect()
{
    m_objTimer->setEnabled(false);
    m_objTimer.reset();
    if (m_sources.keys)
        m_sources.keys->setKeyDownHandler({});
}

bool ActivityDetect::IsScreenSaverRunning()
{
    return m_sources.screenSaver && m_sources.screenSaver->rawRunning() != 0;
}

void ActivityDetect::setSamplingInterval(int32_t lngValue)
{
    // Checked before anything is stored, so that a refused value changes nothing.
    const int32_t window = windowSeconds(lngValue, m_n);
    m_objTimer->setInterval(lngValue);
    m_window = window;
}

void ActivityDetect::setN(int32_t lngValue)
{
    if (lngValue < 1)
        plat::raise(plat::rt::SubscriptOutOfRange, kTitle);
    const int32_t window = windowSeconds(m_objTimer->Interval(), lngValue);
    m_cursor.assign(size_t(lngValue), QPoint(0, 0));
    for (auto& ring : m_joystick)
        ring.assign(size_t(lngValue), QPoint(0, 0));
    m_index = 0;
    m_n = lngValue;
    m_window = window;
}

uint32_t ActivityDetect::Advise(__ActivityDetect* sink)
{
    if (!sink)
        plat::raise(plat::rt::ObjectVariableNotSet, kTitle);
    sink->AddRef();
    const uint32_t cookie = m_nextCookie++;
    m_connections.push_back({cookie, plat::ComPtr<__ActivityDetect>::attach(sink)});
    return cookie;
}

void ActivityDetect::Unadvise(uint32_t cookie)
{
    auto it = std::find_if(m_connections.begin(), m_connections.end(),
                           [cookie](const Connection& c) { return c.cookie == cookie; });
    if (it == m_connections.end())
        plat::raise(plat::rt::InvalidProcedureCall, kTitle);
    // Move the sink out first: releasing it may call back into Unadvise.
    plat::ComPtr<__ActivityDetect> sink = std::move(it->sink);
    m_connections.erase(it);
}

template <class Fn>
void ActivityDetect::raiseEvent(Fn fn)
{
    // A sink may unadvise itself or another sink from inside the event.
    const std::vector<Connection> connections = m_connections;
    for (const Connection& c : connections) {
        const bool stillConnected = std::any_of(m_connections.begin(), m_connections.end(),
                                                [&](const Connection& x) { return x.cookie == c.cookie; });
        if (stillConnected)
            fn(c.sink.get());
    }
}

void ActivityDetect::m_objTimer_Timer()
{
    // Without N there is no window to sample.
    if (m_n < 1)
        return;
    // A sink may release the last reference to the detector from inside an event.
    AddRef();
    try {
        sample();
    } catch (...) {
        // An error ends this tick only; the next one runs as usual.
    }
    Release();
}

void ActivityDetect::sample()
{
    ++m_index;
    const int32_t slot = m_index - 1;

    const std::optional<QPoint> cursor = m_sources.cursor ? m_sources.cursor->position() : std::nullopt;
    m_cursor[size_t(slot)] = cursor.value_or(QPoint(0, 0));

    int32_t state = 0;
    const auto sinceKey = ModIsUserSleep::secondsSinceLastKey(m_sources.clock->nowMs());
    if (sinceKey && *sinceKey < m_window)
        state |= KEYBRD_ACTIVITY;
    m_state = ACTIVITYDETECT_FLAG(state);

    // Every sample of the window against the window's first one.
    const QPoint first = m_cursor.front();
    for (size_t i = 1; i < m_cursor.size(); ++i) {
        if (std::abs(m_cursor[i].x() - first.x()) >= kCursorTolerance
            || std::abs(m_cursor[i].y() - first.y()) >= kCursorTolerance) {
            state |= CURSOR_ACTIVITY;
            break;
        }
    }
    m_state = ACTIVITYDETECT_FLAG(state);

    // Joysticks have no tolerance; one that does not answer is left out.
    for (int id = 0; id < 2; ++id) {
        const std::optional<QPoint> position = m_sources.joysticks ? m_sources.joysticks->position(id) : std::nullopt;
        if (!position)
            continue;
        auto& ring = m_joystick[id];
        ring[size_t(slot)] = *position;
        if (std::adjacent_find(ring.begin(), ring.end(), std::not_equal_to<>()) != ring.end())
            state |= JOYSTK_ACTIVITY;
    }
    m_state = ACTIVITYDETECT_FLAG(state);

    // Absent when nothing was touched in the window, or when the screen saver runs.
    const bool saverRunning = IsScreenSaverRunning();
    m_isUserSleep = state == 0 || saverRunning;

    // Wrap the window before any event: a handler that fails, runs a modal
    // loop (and so further ticks) or sets N must not leave the index past N.
    if (m_index >= m_n)
        m_index = 0;

    if (m_isUserSleep)
        raiseEvent([](__ActivityDetect* sink) { sink->UserIsNotHere(); });
    raiseEvent([](__ActivityDetect* sink) { sink->Timer(); });
}

} // namespace Stillmark
