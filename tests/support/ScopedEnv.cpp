#include "ScopedEnv.h"

#include <cstdlib>

namespace testing_support {
namespace {

// The C runtime's own environment calls: Windows' runtime keeps the process
// environment in step through _putenv_s, where an empty value removes it.
void setVariable(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

void removeVariable(const std::string& name) {
#ifdef _WIN32
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name{name} {
    if (const char* old = std::getenv(name)) m_previous = old;
    setVariable(m_name, value);
}

ScopedEnv::~ScopedEnv() {
    if (m_previous) {
        setVariable(m_name, *m_previous);
    } else {
        removeVariable(m_name);
    }
}

}  // namespace testing_support
