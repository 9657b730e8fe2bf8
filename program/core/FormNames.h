#pragma once
// The names of the program's forms in the form registry, by which every layer
// reaches a form it cannot include.

#include <QString>

namespace FormNames {

inline const QString dlgConsigne = QStringLiteral("dlgConsigne");
inline const QString dlgKeyboard = QStringLiteral("dlgKeyboard");
inline const QString dlgListInput = QStringLiteral("dlgListInput");
inline const QString dlgMessage = QStringLiteral("dlgMessage");
inline const QString dlgUserCodes = QStringLiteral("dlgUserCodes");
inline const QString wHistoric = QStringLiteral("wHistoric");
inline const QString wMain = QStringLiteral("wMain");
inline const QString wPolling = QStringLiteral("wPolling");
inline const QString wRunAlarms = QStringLiteral("wRunAlarms");
inline const QString wTeleCmde = QStringLiteral("wTeleCmde");
inline const QString wTeleCmdes = QStringLiteral("wTeleCmdes");

} // namespace FormNames
