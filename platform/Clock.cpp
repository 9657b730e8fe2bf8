#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace plat {

namespace {
class SystemClock : public Clock {
public:
    qint64 nowMs() const override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(qint64 ms) override
    {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};
} // namespace

Clock& systemClock()
{
    static SystemClock c;
    return c;
}

} // namespace plat
