#pragma once
// The raw line printer: a printer on a parallel (LPT) or serial (COM) port,
// driven without a printer driver. It opens the port's device, sets a serial
// port's line from the settings text, writes lines or bytes, converts text to
// the printer's code page 850, and reports failures both as returned texts and
// through PrinterError (the message and the step that failed).
//
// A COM port is opened and closed around each line; an LPT port stays open
// until a write fails. A port that cannot be opened, or whose write failed,
// reads as closed, so the next line opens it again: a printer switched off
// and on, unplugged or absent at start prints again once it is back. A
// printer that takes nothing (off line, out of paper) costs one write
// time-out, and then the port is left alone for RestSeconds. A line that a
// failed write cut short (a time-out) is ended before the next one.
//
// Every line not handed over whole is missed: the trace log says when
// printing stopped (and why) and, at the next line printed, that it resumed
// and how many lines were missed. No port set up misses nothing.

#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/PrinterPort.h"
#include "program/core/EnginePrinter.h"

#include <QObject>

#include <array>
#include <optional>

class DirectPrinting : public QObject, public EnginePrinter {
    Q_OBJECT

public:
    // The step codes of PrinterError.
    enum Step {
        StepOpen = 0,
        StepGetState = 1,
        StepSetState = 2,
        StepGetTimeouts = 3,
        StepSetTimeouts = 4,
        StepPrintData = 6,
        StepPrintString = 8,
    };
    static constexpr int WriteTimeoutMs = 2000;
    static constexpr int RestSeconds = 60;
    static inline const QString InitialSettings = QStringLiteral("9600,N,8,1");

    // clock times the rest after a write time-out.
    explicit DirectPrinting(plat::Clock& clock = plat::systemClock(), QObject* parent = nullptr);
    ~DirectPrinting() override;
    // The bound on each write from the next open on (tests shorten it).
    void setWriteTimeoutMs(int ms) { m_writeTimeoutMs = ms; }

    // ---- Members, in their order ----
    bool AddLF() const override { return m_addLF; }
    void setAddLF(bool on) override { m_addLF = on; }
    QString Settings() const override { return m_settings; }
    void setSettings(const QString& settings) override { m_settings = settings; }
    qint32 Handle() const override;
    QString Port() const override { return m_port; }
    void setPort(const QString& port) override;
    QString OpenPrinter(const QString& port, const QString& settings, bool closeAfter) override;
    void ClosePrinter() override;
    QString PrintString(const QString& text) override;
    QString PrintData(const QByteArray& bytes) override;
    QString PrintLine(const QString& text) override;
    QString AnsiToOem(const QString& text) const override;

    // Whether the port is closed after each line (always for a COM port).
    bool CloseAfter() const { return m_closeAfter; }
    // The serial line of a settings text "9600,E,7,2": the parity by its place
    // in "NOE", the stop bits as the system encodes them (1 gives 0, 1.5 gives
    // 1, 2 gives 2). An ill-formed text raises (380 for the parity letter, 13
    // for an item that is no number, 9 for a missing item).
    static plat::PrinterLine SerialLine(const QString& settings);
    // The code page 850 byte of each ANSI code 128..255.
    const std::array<uchar, 128>& ConvTable() const { return m_convTable; }

    // The trace lines of the printer on port: printing stopped, for the
    // reason given; printing resumed, after missing that many lines.
    static QString StoppedTraceLine(const plat::DateTime& at, const QString& port, const QString& reason);
    static QString ResumedTraceLine(const plat::DateTime& at, const QString& port, int missed);

signals:
    void PrinterError(const QString& message, qint32 step);

private:
    QString ApiErrorText(qint32 code) const;
    QString open(const QString& port, const QString& settings, bool closeAfter);
    QString fail(int err, Step step);
    QString write(const QByteArray& bytes, Step step, qsizetype* taken = nullptr);
    // One line and its end, led by the end of a line that a failed write cut.
    QString writeLine(const QString& text);
    void lineMissed(const QString& reason);
    void linePrinted();
    static void trace(const QString& line);

    plat::Clock& m_clock;
    plat::PrinterPort m_device;
    QString m_port;
    QString m_settings = InitialSettings;
    bool m_addLF = false;
    bool m_closeAfter = false;
    std::array<uchar, 128> m_convTable{};

    int m_writeTimeoutMs = WriteTimeoutMs;
    // Whether the last write ended on the time-out, and whether it left a
    // line without its end; after one, until when the port is left alone and
    // the text its lines answer meanwhile; the lines missed since printing
    // stopped.
    bool m_timedOut = false;
    bool m_lineCut = false;
    std::optional<qint64> m_restUntilMs;
    QString m_restText;
    int m_missed = 0;
};
