// Entry points of the function library: the classes of its table, handed out
// and registered under the library's identity.

#include "VexLib22/VexLib22.h"
#include "platform/ComponentServer.h"

COMPONENT_SERVER_ENTRY_POINTS(VexLib22::kTitle, VexLib22::LIBID_VexLib22, VexLib22::kVersion)
