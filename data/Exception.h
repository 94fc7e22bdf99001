#pragma once
// The system's one exception type: every failure carries a message a pupil can read (UTF-8).

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    // The message as stored, UTF-8.
    std::string Message() const { return what(); }
};

// A file that exists but that another program holds locked for the moment: "in use", never
// "not found".
class FileInUse : public Exception {
public:
    using Exception::Exception;
};
