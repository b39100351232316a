#pragma once

#include <optional>
#include <string>

namespace testing_support {

// Sets an environment variable for the life of the object and then puts the
// old value back, or removes the variable if it had none. SDL sees the change.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

}  // namespace testing_support
