#include "platform/modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace orba {

namespace {

struct Loaded {
    void* handle = nullptr;
    std::string why;
};

struct Registry {
    std::mutex lock;
    std::vector<std::string> folders;  // empty: the usual ones
    std::map<std::string, Loaded> modules;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::string programFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

Loaded load(const std::string& name, const std::vector<std::string>& folders) {
    Loaded result;
    std::string tried;
    for (const std::string& folder : folders) {
        const std::filesystem::path path = std::filesystem::path(folder) / name;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            result.handle = handle;
            return result;
        }
        // A module that is there but cannot be loaded (a library it needs is
        // missing) says so rather than a later folder's absence.
        const char* error = dlerror();
        result.why = error ? error : path.string() + " cannot be loaded";
        return result;
    }
    for (const std::string& folder : folders) tried += (tried.empty() ? "" : ", ") + folder;
    result.why = name + " is not installed (looked in " + tried + ")";
    return result;
}

}  // namespace

std::vector<std::string> moduleFolders() {
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        if (!r.folders.empty()) return r.folders;
    }
    std::vector<std::string> folders;
    if (const std::string here = programFolder(); !here.empty()) {
        folders.push_back(here);
        folders.push_back((std::filesystem::path(here) / ".." / "lib" / "orbakaraoke")
                              .lexically_normal()
                              .string());
    }
    folders.push_back(ORBA_MODULE_BUILD_DIR);
    return folders;
}

void* moduleSymbol(const std::string& name, const char* symbol, std::string& why) {
    const std::vector<std::string> folders = moduleFolders();
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto at = r.modules.find(name);
    if (at == r.modules.end()) at = r.modules.emplace(name, load(name, folders)).first;
    const Loaded& loaded = at->second;
    if (!loaded.handle) {
        why = loaded.why;
        return nullptr;
    }
    dlerror();
    void* address = dlsym(loaded.handle, symbol);
    if (!address) why = name + " lacks " + symbol + " (a module of another version?)";
    return address;
}

void setModuleFolders(std::vector<std::string> folders) {
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    r.folders = std::move(folders);
    // What stays loaded stays mapped (code of it may still run), but it is
    // no longer found by name.
    r.modules.clear();
}

}  // namespace orba
