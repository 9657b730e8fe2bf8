#pragma once
// The names of the program's forms in the form registry, by which every layer
// reaches a form it cannot include.

#include <QString>

namespace FormNames {

inline const QString dlgBusCopy = QStringLiteral("dlgBusCopy");
inline const QString dlgConsigne = QStringLiteral("dlgConsigne");
inline const QString dlgEditMirror = QStringLiteral("dlgEditMirror");
inline const QString dlgDefPwds = QStringLiteral("dlgDefPwds");
inline const QString dlgKeyboard = QStringLiteral("dlgKeyboard");
inline const QString dlgListInput = QStringLiteral("dlgListInput");
inline const QString dlgMenuParams = QStringLiteral("dlgMenuParams");
inline const QString dlgMenuSystem = QStringLiteral("dlgMenuSystem");
inline const QString dlgMessage = QStringLiteral("dlgMessage");
inline const QString dlgSysTime = QStringLiteral("dlgSysTime");
inline const QString dlgParamPrinter = QStringLiteral("dlgParamPrinter");
inline const QString dlgUserCodes = QStringLiteral("dlgUserCodes");
inline const QString wBusMiroirs = QStringLiteral("wBusMiroirs");
inline const QString wBusMirrorOne = QStringLiteral("wBusMirrorOne");
inline const QString wBusModules = QStringLiteral("wBusModules");
inline const QString wBusPanneau = QStringLiteral("wBusPanneau");
inline const QString wHistoric = QStringLiteral("wHistoric");
inline const QString wMain = QStringLiteral("wMain");
inline const QString wParamBiblio = QStringLiteral("wParamBiblio");
inline const QString wParamConsignes = QStringLiteral("wParamConsignes");
inline const QString wParamEcran = QStringLiteral("wParamEcran");
inline const QString wParamPrinter = QStringLiteral("wParamPrinter");
inline const QString wPolling = QStringLiteral("wPolling");
inline const QString wRunAlarms = QStringLiteral("wRunAlarms");
inline const QString wSysComm = QStringLiteral("wSysComm");
inline const QString wSysConfSon = QStringLiteral("wSysConfSon");
inline const QString wTechConsignations = QStringLiteral("wTechConsignations");
inline const QString wTechEtatModule = QStringLiteral("wTechEtatModule");
inline const QString wTechFindPanels = QStringLiteral("wTechFindPanels");
inline const QString wTechnician = QStringLiteral("wTechnician");
inline const QString wTeleCmde = QStringLiteral("wTeleCmde");
inline const QString wTeleCmdes = QStringLiteral("wTeleCmdes");

} // namespace FormNames
