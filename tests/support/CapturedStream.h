#pragma once

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

namespace testing_support {

// Redirects a standard stream (std::cout, std::cerr) into a string for the
// life of the object.
class CapturedStream {
public:
    explicit CapturedStream(std::ostream& stream)
        : m_stream{stream}, m_previous{stream.rdbuf(m_buffer.rdbuf())} {}
    ~CapturedStream() { m_stream.rdbuf(m_previous); }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::string Text() const { return m_buffer.str(); }
    long LineCount() const {
        const std::string text = Text();
        return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    }

private:
    std::ostream& m_stream;
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};

}  // namespace testing_support
