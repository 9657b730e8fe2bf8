// Entry points of the inactivity detector library: the classes of its table,
// handed out and registered under the library's identity.

#include "Stillmark/_ActivityDetect.h"
#include "platform/ComponentServer.h"

COMPONENT_SERVER_ENTRY_POINTS(Stillmark::kTitle, Stillmark::LIBID_Stillwatch, Stillmark::kVersion)
