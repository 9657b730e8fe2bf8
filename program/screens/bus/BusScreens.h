#pragma once
// The bus configuration screens in the form registry, and the names of the
// screens they open by name.

#include <QString>

namespace BusScreens {

// Screens of the bus configuration that this folder does not hold yet; a
// button that opens one is shown once its form is registered.
inline const QString MirrorListForm = QStringLiteral("wBusMiroirs");
inline const QString MirrorOneForm = QStringLiteral("wBusMirrorOne");
inline const QString CopyDialogForm = QStringLiteral("dlgBusCopy");
inline const QString MainForm = QStringLiteral("wMain");

// Registers wBusModules, wBusPanneau and dlgBusCopy.
void registerForms();

} // namespace BusScreens
