// While it lives, no module of the player can be found: as on a machine
// where the package's lib/orbakaraoke/ went missing.
#pragma once

#include "platform/modules.h"
#include "tests/support/tempdir.h"

namespace orba::test {

class WithoutModules {
public:
    WithoutModules() { setModuleFolders({m_empty.path()}); }
    ~WithoutModules() { setModuleFolders({}); }
    WithoutModules(const WithoutModules&) = delete;
    WithoutModules& operator=(const WithoutModules&) = delete;

    const std::string& folder() const { return m_empty.path(); }

private:
    TempDir m_empty;
};

}  // namespace orba::test
