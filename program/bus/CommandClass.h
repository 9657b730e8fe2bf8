#pragma once
// One bus command waiting to be executed: a read or a write of registers of one
// module, or a broadcast write to every module (Module 0).

#include "platform/DateTime.h"

#include <QVector>

#include <memory>

class CommandClass {
public:
    enum CmdTypes : qint16 {
        CmdDone = 0,    // executed, to be removed
        CmdRead = 1,    // read ValuesCount registers from Address
        CmdWrite = 2,   // write Values from Address
    };

    // A write of values to the registers of module from address, not before
    // sendTime (the zero date: as soon as possible).
    static std::shared_ptr<CommandClass> Write(int module, qint32 address, const QVector<qint16>& values,
                                               const plat::DateTime& sendTime = {});

    qint32 Address() const { return m_address; }
    void setAddress(qint32 address) { m_address = address; }
    qint16 CmdType() const { return m_cmdType; }
    // Stored as 16-bit; a value that does not fit is reported and ignored.
    void setCmdType(qint32 type);
    bool Error() const { return m_error; }
    void setError(bool error) { m_error = error; }
    qint16 ErrorCount() const { return m_errorCount; }
    void setErrorCount(qint16 count) { m_errorCount = count; }
    void ErrorInc();
    // ErrorCount := 0; Error stays as it is.
    void ErrorsClear() { m_errorCount = 0; }
    qint16 Module() const { return m_module; }
    void setModule(qint16 module) { m_module = module; }
    // Earliest time of execution; the zero date means as soon as possible.
    plat::DateTime SendTime() const { return m_sendTime; }
    void setSendTime(const plat::DateTime& time) { m_sendTime = time; }
    // Element i, or 0 when there is none.
    qint16 Value(int i) const;
    // Grows Values to i + 1 elements (new ones 0) when needed.
    void setValue(int i, qint16 value);
    QVector<qint16> Values() const { return m_values; }
    int ValuesCount() const { return int(m_values.size()); }
    void ValuesCopy(const QVector<qint16>& source) { m_values = source; }

private:
    qint16 m_module = 0;
    qint16 m_cmdType = CmdDone;
    qint32 m_address = 0;
    QVector<qint16> m_values;
    plat::DateTime m_sendTime;
    bool m_error = false;
    qint16 m_errorCount = 0;
};

using CommandPtr = std::shared_ptr<CommandClass>;
