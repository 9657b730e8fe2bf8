#include "platform/Component.h"

namespace plat {

// One counter per binary: each library links its own copy of the platform.
std::atomic<int>& componentObjectCount()
{
    static std::atomic<int> count{0};
    return count;
}

} // namespace plat
