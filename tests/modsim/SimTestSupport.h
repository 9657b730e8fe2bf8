#pragma once
// A simulator on a virtual clock, driven frame by frame, for the tests of the
// module simulator.

#include "tools/modsim/RtuFrame.h"
#include "tools/modsim/Simulator.h"

#include "tests/support/VirtualClock.h"

#include <QByteArray>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace simtest {

struct Bus {
    testing_support::VirtualClock clock{100000};
    modsim::Simulator sim{clock};

    // Sends one request at the present time and returns every byte the
    // simulator answers, however late; the clock then moves on past the
    // end-of-frame silence so that the next request stands alone.
    QByteArray send(const QByteArray& request)
    {
        const qint64 t = clock.nowMs() * 1000;
        sim.receive(request, t);
        const QByteArray reply = sim.takeDue(std::numeric_limits<qint64>::max());
        clock.advance(30);
        sim.idle(clock.nowMs() * 1000);
        return reply;
    }

    // Reads words; nothing when the reply is not a correct read reply.
    std::optional<std::vector<std::uint16_t>> read(int slave, int first, int count)
    {
        const QByteArray r = send(modsim::readRequest(slave, first, count));
        if (r.size() != 5 + 2 * count || r[0] != char(slave) || r[1] != 3 || !modsim::crcValid(r))
            return std::nullopt;
        std::vector<std::uint16_t> out;
        for (int i = 0; i < count; ++i)
            out.push_back(modsim::word(r, 3 + 2 * i));
        return out;
    }

    std::optional<std::uint16_t> read1(int slave, int reg)
    {
        auto w = read(slave, reg, 1);
        return w ? std::optional<std::uint16_t>(w->front()) : std::nullopt;
    }

    // The exception code of the reply, or -1 when it is no exception reply.
    int exceptionOf(const QByteArray& reply, int slave, int function)
    {
        if (reply.size() != 5 || reply[0] != char(slave) || std::uint8_t(reply[1]) != (function | 0x80) || !modsim::crcValid(reply))
            return -1;
        return std::uint8_t(reply[2]);
    }
};

} // namespace simtest
