#pragma once
// Identity of the function library VexLib22: its class and interface
// identifiers, its published enumerations and its error numbers. Each class's
// interface is declared in its own header beside this one (_Divers.h, ...).

#include "platform/Component.h"

#include <QString>

namespace VexLib22 {

inline const QString kTitle = QStringLiteral("VexLib22");     // source of every library error
inline const QString kVersion = QStringLiteral("2.02.0084");
inline const QString kTypeLibHelp = QStringLiteral("VEX Software - Bib. de fonctions V2.2");
inline const QString kTypeLibHelpFile = QStringLiteral("c:\\Windows\\Help\\VexLib.chm");
constexpr int kTypeLibMajor = 1;
constexpr int kTypeLibMinor = 0;
constexpr int kTypeLibLocale = 0x409;

inline constexpr plat::Guid LIBID_VexLib22 = plat::Guid::parse("DCD623EF-9225-4EB9-BC27-A93ABECD58F6");

inline constexpr plat::Guid IID_Divers = plat::Guid::parse("BC1A4B21-7830-4CEE-BD97-50777D807620");
inline constexpr plat::Guid CLSID_Divers = plat::Guid::parse("F82AAA0F-1461-4A97-A5BD-C33E4048784B");
inline constexpr plat::Guid IID_IniParam = plat::Guid::parse("0FFCECF3-560E-4EC9-BE37-6931B721A24C");
inline constexpr plat::Guid CLSID_IniParam = plat::Guid::parse("D3750735-5D40-4FE6-B7B6-FD48A0451D2D");
inline constexpr plat::Guid IID_WinPlace = plat::Guid::parse("789BEB16-167E-414B-A0F7-2A91FB5581C5");
inline constexpr plat::Guid CLSID_WinPlace = plat::Guid::parse("0BF6685A-E450-448A-869D-E21B28164DA1");
inline constexpr plat::Guid IID_PrintWnd = plat::Guid::parse("482FAEB5-7C84-4869-8F4A-116630577702");
inline constexpr plat::Guid CLSID_PrintWnd = plat::Guid::parse("F96AFF1A-4B8D-4802-822B-9BF6D0A1CCAD");
inline constexpr plat::Guid IID_RegBase = plat::Guid::parse("CA8DC8F6-B63F-49D6-92D9-3855774CBE5C");
inline constexpr plat::Guid CLSID_RegBase = plat::Guid::parse("94BFABE5-AC95-4B16-8DCF-8E84E800FAD5");
inline constexpr plat::Guid IID_StringArray = plat::Guid::parse("88123CF8-84FC-447C-BF44-7CFA0FFDE7DD");
inline constexpr plat::Guid CLSID_StringArray = plat::Guid::parse("F59414EE-ADFF-42BE-8CD0-CB616D1BD96A");
inline constexpr plat::Guid IID_FilesPaths = plat::Guid::parse("1DDEBDCF-C9A2-408C-A4DB-FE32C3844E63");
inline constexpr plat::Guid CLSID_FilesPaths = plat::Guid::parse("BFA4D505-B6DD-4CBB-9F71-749AAFB818F9");
inline constexpr plat::Guid IID_LogFileClass = plat::Guid::parse("4ACE21DA-77AD-4C1D-9B05-EC817AF28EE9");
inline constexpr plat::Guid CLSID_LogFileClass = plat::Guid::parse("73BC852B-0440-4ACC-BC72-CBF2B758A2DD");
inline constexpr plat::Guid IID_HexFunctions = plat::Guid::parse("7BD6101F-3B94-4181-BA63-68ECAE6C62C7");
inline constexpr plat::Guid CLSID_HexFunctions = plat::Guid::parse("DEB294DE-8812-4138-9522-5C2438B3D233");
inline constexpr plat::Guid IID_StrToKclass = plat::Guid::parse("AE4A6E7D-C8FA-47DF-B6DD-EB0910138756");
inline constexpr plat::Guid CLSID_StrToKclass = plat::Guid::parse("9C73C01C-B146-4C72-AF03-F8AFCB8441B8");
inline constexpr plat::Guid IID_KeyFilter = plat::Guid::parse("AD07A828-1D27-4285-A025-8F19226FD708");
inline constexpr plat::Guid CLSID_KeyFilter = plat::Guid::parse("24552A3B-B7DA-48F0-B85F-51D024FAD050");

enum KeyTypesEnum : uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
    HKEY_USERS = 0x80000003u,
    HKEY_PERFORMANCE_DATA = 0x80000004u,
    HKEY_CURRENT_CONFIG = 0x80000005u,
    HKEY_DYN_DATA = 0x80000006u,
};

enum LogModeConstants : uint8_t {
    eLogModeNone = 0,
    eLogModeDebug = 1,
    eLogModeFileNew = 2,
    eLogModeFileAppend = 3,
};

// The library's own errors: number = id of its string, text = the string.
namespace Err {
constexpr int FormRequired = 1024;
constexpr int PrinterRequired = 1025;
constexpr int InsertSorted = 1040;
constexpr int SetAtSorted = 1041;
constexpr int SetCountSorted = 1042;
constexpr int SortedNotEmpty = 1043;
} // namespace Err

} // namespace VexLib22
