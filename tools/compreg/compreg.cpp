// compreg [-u] <library.so>...
// Loads each component library and calls its DllRegisterServer (with -u,
// DllUnregisterServer). The registry store is $PLX_REGISTRY_FILE when set,
// else Registry.ini in the folder of the program that runs the entry point.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <dlfcn.h>

namespace {

using EntryPoint = int32_t (*)();

int usage()
{
    std::fprintf(stderr, "usage: compreg [-u] <library.so>...\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    bool unregister = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0)
            unregister = true;
        else if (argv[i][0] == '-')
            return usage();
        else
            files.emplace_back(argv[i]);
    }
    if (files.empty())
        return usage();

    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    int failures = 0;
    for (const std::string& name : files) {
        // An absolute name: the library registers the path it was loaded by.
        std::error_code ec;
        const std::string file = std::filesystem::absolute(name, ec).lexically_normal().string();
        void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "compreg: %s\n", ::dlerror());
            ++failures;
            continue;
        }
        auto fn = reinterpret_cast<EntryPoint>(::dlsym(handle, entry));
        if (!fn) {
            std::fprintf(stderr, "compreg: %s has no %s\n", file.c_str(), entry);
            ++failures;
            continue;
        }
        const int32_t hr = fn();
        if (hr != 0) {
            std::fprintf(stderr, "compreg: %s of %s failed (0x%08X)\n", entry, file.c_str(), static_cast<uint32_t>(hr));
            ++failures;
        }
        // Not unloaded: the library's Qt objects may outlive this loop until exit.
    }
    return failures == 0 ? 0 : 1;
}
