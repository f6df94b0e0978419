#pragma once
// Exceptions of the base and data-access libraries. displayText() is what callers show the user.

#include <stdexcept>
#include <string>

namespace QxBaseModule {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message, int code = 0);

    // A short name of the kind of failure, e.g. "Data error".
    virtual const char* name() const noexcept;
    // The name followed by the message: "Data error: file is not a database".
    std::string displayText() const;
    const std::string& message() const { return m_message; }
    int code() const { return m_code; }

private:
    std::string m_message;
    int m_code;
};

// An object was used without the implementation it needs (e.g. a session that was never opened).
class NullPointerException : public Exception {
public:
    using Exception::Exception;
    const char* name() const noexcept override;
};

} // namespace QxBaseModule

namespace QxDataModule {

// Any failure of a database operation; code carries the database's result code when there is one.
class DataException : public QxBaseModule::Exception {
public:
    using Exception::Exception;
    const char* name() const noexcept override;
};

// A result did not fit the target it was extracted into.
class ExtractException : public DataException {
public:
    using DataException::DataException;
    const char* name() const noexcept override;
};

} // namespace QxDataModule
