// The transactions against a scripted serial control on virtual time: what each
// reply gives, and how long the routine waited for it.

#include "tests/support/VirtualClock.h"
#include "platform/Guard.h"
#include "platform/RtError.h"
#include "platform/SerialControl.h"
#include "program/bus/BusConstants.h"
#include "program/bus/CommFunctions.h"
#include "program/bus/ModbusFrames.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

QByteArray withCrc(QByteArray f)
{
    ModbusFrames::appendCrc(f);
    return f;
}
QByteArray withCrc(const char* text) { return withCrc(hex(text)); }

// One piece of a reply: bytes that arrive afterMs after the request has left.
struct Piece {
    qint64 afterMs;
    QByteArray bytes;
};
using Script = std::vector<Piece>;

// A serial control that answers each request from a script, on a virtual clock.
// Sending a request takes outputMs, as draining the output would.
class ScriptedPort : public plat::SerialControl {
public:
    explicit ScriptedPort(testing_support::VirtualClock& clock) : m_clock(clock) {}

    std::function<Script(const QByteArray& request)> responder = [](const QByteArray&) { return Script(); };
    qint64 outputMs = 9;
    QString settings = "9600,N,8,1";
    // Thrown by every operation once set (68: the device gone).
    int failWith = 0;
    bool lost() const { return failWith == plat::rt::DeviceUnavailable; }

    std::vector<QByteArray> sent;
    qint64 sentAt = -1;   // end of the last request on the virtual clock
    int discards = 0;

    int CommPort() const override { return 1; }
    void setCommPort(int) override {}
    QString Settings() const override { return settings; }
    void setSettings(const QString& s) override { settings = s; }
    bool PortOpen() const override { return !lost(); }
    void setPortOpen(bool) override {}
    bool DeviceLost() const override { return lost(); }
    bool RTSEnable() const override { return m_rts; }
    void setRTSEnable(bool e) override { check(); m_rts = e; }
    int InBufferCount() const override
    {
        check();
        deliver();
        return int(m_in.size());
    }
    void setInBufferCount(int) override
    {
        check();
        deliver();
        m_in.clear();
        ++discards;
    }
    int OutBufferCount() const override { return 0; }
    void setOutBufferCount(int) override { check(); }
    void Output(const QByteArray& bytes) override
    {
        check();
        EXPECT_TRUE(m_rts) << "RTS raised before sending";
        m_clock.advance(outputMs);
        sent.push_back(bytes);
        sentAt = m_clock.nowMs();
        for (const Piece& p : responder(bytes))
            m_pending.push_back({sentAt + p.afterMs, p.bytes});
    }
    QByteArray Input() override
    {
        check();
        deliver();
        QByteArray taken;
        taken.swap(m_in);
        return taken;
    }

private:
    void check() const
    {
        if (failWith)
            throw plat::RtError(failWith, "Serial port COM1 (/dev/fake) is no longer available");
    }
    void deliver() const
    {
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it->afterMs <= m_clock.nowMs()) {
                m_in += it->bytes;
                it = m_pending.erase(it);
            } else {
                ++it;
            }
        }
    }

    testing_support::VirtualClock& m_clock;
    bool m_rts = false;
    mutable QByteArray m_in;
    mutable std::vector<Piece> m_pending;
};

enum class Op { Read, WriteOne, WriteMany };

// A reply that names another slave or another function is no reply to this
// request (it came late for an earlier one): the wait goes on without it.
struct ReplyRow {
    const char* name;
    Op op;
    Script script;
    bool ok;
    qint64 waitMs;   // from the end of the request to the routine's return
};

// Virtual time for the routines and a record of the errors they report.
class CommFunctionsTest : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        CommFunctions::setClock(&clock);
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reported.push_back({name, e.number()});
        });
    }
    // Module 5 asked on a fresh line (a late reply must not reach the next
    // row): the result, and the wait from the end of the request.
    void expectRow(const ReplyRow& row)
    {
        SCOPED_TRACE(row.name);
        ScriptedPort port(clock);
        port.responder = [&](const QByteArray&) { return row.script; };
        QVector<qint16> words {-7};
        const qint64 start = clock.nowMs();
        bool ok = false;
        switch (row.op) {
        case Op::Read: ok = CommFunctions::LitMots(port, 5, Bus::RegStatus, words); break;
        case Op::WriteOne: ok = CommFunctions::EcritUnMot(port, 5, Bus::RegModuleCommand, 2); break;
        case Op::WriteMany: ok = CommFunctions::EcritMots(port, 5, Bus::RegPackedStates, {1, 2}); break;
        }
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(clock.nowMs() - port.sentAt, row.waitMs);
        // The pause comes before the frame, and the frame takes its line time.
        EXPECT_EQ(port.sentAt - start, Bus::FramePauseMs + port.outputMs);
        if (row.op == Op::Read) {
            EXPECT_EQ(words, QVector<qint16>({qint16(row.ok ? 0x1234 : -7)}));
        }
    }

    testing_support::VirtualClock clock {100000};
    ScriptedPort port {clock};
    std::vector<std::pair<QString, int>> reported;
};

// Module 5, 9600 8N1. Deadlines: read of one word 1000 + 8 ms, write 500 + 9 ms.
const QByteArray readOk = withCrc("05 03 02 12 34");
const QByteArray writeOneOk = hex("05 06 00 43 00 02 F8 5B");
const QByteArray writeManyOk = withCrc("05 10 00 19 00 02");

} // namespace

TEST_F(CommFunctionsTest, EachReplyGivesItsResultAfterItsWait)
{
    const ReplyRow rows[] = {
        {"read: good reply", Op::Read, {{5, readOk}}, true, 5},
        {"read: one byte more, good CRC", Op::Read, {{5, withCrc("05 03 02 12 34 56")}}, false, 5},
        {"read: one byte less", Op::Read, {{5, readOk.left(6)}}, false, 1008},
        {"read: wrong slave", Op::Read, {{5, withCrc("06 03 02 12 34")}}, false, 1008},
        {"read: wrong function", Op::Read, {{5, withCrc("05 04 02 12 34")}}, false, 1008},
        {"read: bad CRC", Op::Read, {{5, hex("05 03 02 12 34 00 00")}}, false, 5},
        {"read: exception reply", Op::Read, {{5, withCrc("05 83 02")}}, false, 1008},
        {"read: no reply", Op::Read, {}, false, 1008},
        {"read: late reply", Op::Read, {{1100, readOk}}, false, 1008},
        {"read: reply in pieces", Op::Read, {{3, readOk.left(2)}, {6, readOk.mid(2, 3)}, {12, readOk.mid(5)}}, true, 12},
        {"write one: echo", Op::WriteOne, {{4, writeOneOk}}, true, 4},
        {"write one: echo of another value", Op::WriteOne, {{4, withCrc("05 06 00 43 00 09")}}, true, 4},
        {"write one: one byte more", Op::WriteOne, {{4, withCrc("05 06 00 43 00 02 00")}}, false, 4},
        {"write one: one byte less", Op::WriteOne, {{4, writeOneOk.left(7)}}, false, 509},
        {"write one: wrong slave", Op::WriteOne, {{4, withCrc("07 06 00 43 00 02")}}, false, 509},
        {"write one: wrong function", Op::WriteOne, {{4, withCrc("05 10 00 43 00 02")}}, false, 509},
        {"write one: bad CRC", Op::WriteOne, {{4, hex("05 06 00 43 00 02 F8 5C")}}, false, 4},
        {"write one: exception reply", Op::WriteOne, {{4, withCrc("05 86 02")}}, false, 509},
        {"write one: no reply", Op::WriteOne, {}, false, 509},
        {"write one: late reply", Op::WriteOne, {{600, writeOneOk}}, false, 509},
        {"write one: reply in pieces", Op::WriteOne, {{2, writeOneOk.left(4)}, {30, writeOneOk.mid(4)}}, true, 30},
        {"write many: reply", Op::WriteMany, {{6, writeManyOk}}, true, 6},
        {"write many: bad CRC", Op::WriteMany, {{6, writeManyOk.left(7) + char(writeManyOk[7] ^ 1)}}, false, 6},
        {"write many: no reply", Op::WriteMany, {}, false, 509},
    };
    for (const ReplyRow& row : rows)
        expectRow(row);
    EXPECT_TRUE(reported.empty());
}

TEST_F(CommFunctionsTest, EachTransactionDiscardsWhatCameBefore)
{
    // A late reply of the last transaction must not pass for the next one's.
    port.responder = [](const QByteArray&) { return Script {{1100, readOk}}; };
    QVector<qint16> words(1);
    EXPECT_FALSE(CommFunctions::LitMots(port, 5, Bus::RegStatus, words));
    clock.advance(200);
    port.responder = [](const QByteArray&) { return Script(); };
    EXPECT_FALSE(CommFunctions::LitMots(port, 5, Bus::RegStatus, words));
    EXPECT_EQ(port.discards, 2);
}

TEST_F(CommFunctionsTest, AReplyLateForAnEarlierRequestIsDroppedAndOnlyWhatFollowsIsChecked)
{
    const QByteArray other = withCrc("06 03 02 00 07");
    // Another module's reply whose data reads as the start of this one's.
    const QByteArray falseRead = withCrc("06 03 02 05 03");
    const QByteArray falseWrite = withCrc("06 03 02 05 06");
    const ReplyRow rows[] = {
        {"read: another module's reply, then the reply", Op::Read, {{5, other + readOk}}, true, 5},
        {"read: another module's reply, the reply later", Op::Read, {{5, other}, {40, readOk}}, true, 40},
        {"read: another module's exception, then the reply", Op::Read, {{5, withCrc("06 83 02") + readOk}}, true, 5},
        {"read: this module's write echo, then the reply", Op::Read, {{5, writeOneOk + readOk}}, true, 5},
        {"read: a false start, the reply later", Op::Read, {{5, falseRead}, {30, readOk}}, true, 30},
        {"read: a false start, then the reply", Op::Read, {{5, falseRead + readOk}}, true, 5},
        {"read: another module's reply only", Op::Read, {{5, other}}, false, 1008},
        {"read: another module's reply, then an exception", Op::Read, {{5, other + withCrc("05 83 02")}}, false, 1008},
        {"read: another module's reply, then a bad CRC", Op::Read, {{5, other + hex("05 03 02 12 34 00 00")}}, false, 1008},
        {"read: another module's reply, then one byte more", Op::Read, {{5, other + withCrc("05 03 02 12 34 56")}}, false, 1008},
        {"read: the reply, then another module's", Op::Read, {{5, readOk + other}}, false, 5},
        {"write one: a read reply, then the echo", Op::WriteOne, {{4, other + writeOneOk}}, true, 4},
        {"write one: a false start, the echo later", Op::WriteOne, {{4, falseWrite}, {20, writeOneOk}}, true, 20},
        {"write one: another module's reply only", Op::WriteOne, {{4, other}}, false, 509},
        {"write many: another module's echo, then the echo", Op::WriteMany, {{6, withCrc("07 10 00 19 00 02") + writeManyOk}}, true, 6},
    };
    for (const ReplyRow& row : rows)
        expectRow(row);
    EXPECT_TRUE(reported.empty());
}

TEST_F(CommFunctionsTest, RequestsOnTheWire)
{
    QVector<qint16> words(1);
    CommFunctions::LitMots(port, 1, Bus::RegEventCount, words);
    CommFunctions::EcritUnMot(port, 5, Bus::RegModuleCommand, 2);
    CommFunctions::EcritMots(port, 7, Bus::RegPackedStates, {1, 0, 0, 0, 0});
    ASSERT_EQ(port.sent.size(), 3u);
    EXPECT_EQ(port.sent[0], hex("01 03 00 90 00 01 84 27"));
    EXPECT_EQ(port.sent[1], hex("05 06 00 43 00 02 F8 5B"));
    EXPECT_EQ(port.sent[2], hex("07 10 00 19 00 05 0A 00 01 00 00 00 00 00 00 00 00 F7 10"));
}

TEST_F(CommFunctionsTest, BroadcastWriteSucceedsOnceSentAndReadFromZeroWaits)
{
    port.responder = [](const QByteArray&) { return Script {{4, hex("00 06 01 21 00 00 D9 ED")}}; };
    const qint64 start = clock.nowMs();
    EXPECT_TRUE(CommFunctions::EcritUnMot(port, 0, Bus::RegCounterReset, 0));
    EXPECT_EQ(clock.nowMs() - start, Bus::FramePauseMs + port.outputMs);
    EXPECT_TRUE(CommFunctions::EcritMots(port, 0, Bus::RegPackedStates, {1, 2, 3}));
    EXPECT_EQ(port.sent.back().left(2), hex("00 10"));

    port.responder = [](const QByteArray&) { return Script(); };
    QVector<qint16> words(1);
    EXPECT_FALSE(CommFunctions::LitMots(port, 0, Bus::RegModuleType, words));
    EXPECT_EQ(clock.nowMs() - port.sentAt, 1008);
}

TEST_F(CommFunctionsTest, FullEventBufferAtTheSlowestSpeedIsRead)
{
    // 124 words at 1200 baud 8N2: the reply alone takes 2.3 s on the line.
    port.settings = "1200,N,8,2";
    const int n = 2 * Bus::MaxEventsPerRead;
    QByteArray reply = hex("03 03");
    reply.append(char(2 * n));
    for (int i = 0; i < n; ++i)
        reply.append(char(0x10)).append(char(i));
    reply = withCrc(reply);
    port.responder = [&](const QByteArray&) {
        Script s;
        const double msPerChar = 11 * 1000.0 / 1200;
        for (int i = 0; i < reply.size(); ++i)
            s.push_back({qint64(5 + (i + 1) * msPerChar), reply.mid(i, 1)});
        return s;
    };
    QVector<qint16> words(n);
    ASSERT_TRUE(CommFunctions::LitMots(port, 3, Bus::RegEventBuffer, words));
    EXPECT_EQ(words[0], 0x1000);
    EXPECT_EQ(words[n - 1], 0x1000 + n - 1);
    EXPECT_GT(clock.nowMs() - port.sentAt, 2300);
}

TEST_F(CommFunctionsTest, ModuleTypeFromTypeAndSubType)
{
    struct Row {
        const char* name;
        std::map<int, qint16> registers;   // registers that answer
        qint16 model;
        size_t requests;
    } rows[] = {
        {"K7150: type 1, sub-type other than 2", {{132, 1}, {133, 1}}, 1, 2},
        {"K7150: type 1, sub-type 0", {{132, 1}, {133, 0}}, 1, 2},
        {"K6200TX: type 2, no sub-type asked", {{132, 2}, {133, 2}}, 2, 1},
        {"K7100: type 1, silent on the sub-type", {{132, 1}}, 3, 2},
        {"T7150: type 1, sub-type 2", {{132, 1}, {133, 2}}, 5, 2},
        {"unknown type", {{132, 4}}, 0, 1},
        {"silent address", {}, 0, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        port.sent.clear();
        port.responder = [&](const QByteArray& req) {
            const int reg = quint8(req[2]) << 8 | quint8(req[3]);
            auto it = row.registers.find(reg);
            if (it == row.registers.end())
                return Script();
            QByteArray r = req.left(2);
            r.append(char(2)).append(char(quint16(it->second) >> 8)).append(char(it->second & 0xFF));
            return Script {{3, withCrc(r)}};
        };
        EXPECT_EQ(CommFunctions::GetModuleType(port, 9), row.model);
        EXPECT_EQ(port.sent.size(), row.requests);
    }
}

// A device gone is no fault of one routine: its owner tells the loss once
// (the engine, without a box). Any other failure of the control is reported.
TEST_F(CommFunctionsTest, FailingPortFailsEveryTransactionAtOnceAndOnlyALostDeviceQuietly)
{
    for (int error : {plat::rt::DeviceUnavailable, plat::rt::DeviceIOError}) {
        SCOPED_TRACE(error);
        reported.clear();
        port.failWith = error;
        QVector<qint16> words {42};
        const qint64 start = clock.nowMs();
        EXPECT_FALSE(CommFunctions::LitMots(port, 5, Bus::RegStatus, words));
        EXPECT_FALSE(CommFunctions::EcritUnMot(port, 5, Bus::RegHorn, 1));
        EXPECT_FALSE(CommFunctions::EcritMots(port, 0, Bus::RegPackedStates, {1}));
        EXPECT_EQ(CommFunctions::GetModuleType(port, 5), 0);
        EXPECT_EQ(words, QVector<qint16>({42}));
        // Nothing waits for a reply: only the pause before each frame passes.
        EXPECT_EQ(clock.nowMs() - start, 4 * Bus::FramePauseMs);
        if (error == plat::rt::DeviceUnavailable) {
            EXPECT_TRUE(reported.empty());
        } else {
            const std::vector<std::pair<QString, int>> expected {
                {"CommFunctions.LitMots", error}, {"CommFunctions.EcritUnMot", error},
                {"CommFunctions.EcritMots", error}, {"CommFunctions.LitMots", error}};
            EXPECT_EQ(reported, expected);
        }
    }
}

TEST_F(CommFunctionsTest, BadArgumentsAreReportedAndSendNothing)
{
    QVector<qint16> none;
    EXPECT_FALSE(CommFunctions::LitMots(port, 5, 1, none));
    EXPECT_FALSE(CommFunctions::EcritMots(port, 5, 1, {}));
    EXPECT_FALSE(CommFunctions::EcritMots(port, 5, 1, QVector<qint16>(128)));
    EXPECT_TRUE(port.sent.empty());
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[0], std::make_pair(QString("CommFunctions.LitMots"), 9));
    EXPECT_EQ(reported[2], std::make_pair(QString("CommFunctions.EcritMots"), 6));
}

TEST_F(CommFunctionsTest, Crc16NeedsRoomForTheCrcBytes)
{
    const QByteArray frame = hex("01 03 00 90 00 01 00 00");
    EXPECT_EQ(CommFunctions::CRC16(frame, 6), 0x2784);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(CommFunctions::CRC16(frame, 7), 0);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_pair(QString("CommFunctions.CRC16"), 9));
}
