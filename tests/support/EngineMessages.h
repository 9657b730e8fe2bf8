#pragma once
// The engine's message box in tests: each message is noted as Global::Message
// would show it now. One that waits is answered OK; one shown without
// waiting (a notice) answers 0; once a stop is pending none opens and the
// answer is Cancel.

#include "program/core/GlobalMessage.h"
#include "program/core/dlgMessage.h"

#include <QStringList>

#include <functional>

namespace testing_support {

// Notes the text, or "style|text" with withStyle, in waited or notices.
inline std::function<int(const QString&, int)> noteEngineMessages(QStringList& waited, QStringList& notices,
                                                                  bool withStyle = false)
{
    return [&waited, &notices, withStyle](const QString& text, int style) {
        const QString noted = withStyle ? QStringLiteral("%1|%2").arg(style).arg(text) : text;
        switch (Global::HowMessageShown(style)) {
        case Global::MessageShown::Waiting:
            waited << noted;
            return MsgResult::vbOK;
        case Global::MessageShown::WithoutWaiting:
            notices << noted;
            return 0;
        case Global::MessageShown::Not:
            break;
        }
        return MsgResult::vbCancel;
    };
}

} // namespace testing_support
