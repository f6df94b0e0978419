#include "Exception.h"

namespace QxBaseModule {

Exception::Exception(const std::string& message, int code)
    : std::runtime_error(message), m_message(message), m_code(code) {}

const char* Exception::name() const noexcept {
    return "Exception";
}

std::string Exception::displayText() const {
    if (m_message.empty())
        return name();
    return std::string(name()) + ": " + m_message;
}

const char* NullPointerException::name() const noexcept {
    return "Null pointer";
}

} // namespace QxBaseModule

namespace QxDataModule {

const char* DataException::name() const noexcept {
    return "Data error";
}

const char* ExtractException::name() const noexcept {
    return "Extraction error";
}

} // namespace QxDataModule
