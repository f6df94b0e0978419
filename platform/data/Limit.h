#pragma once
// A row limit put on a statement: `session << "SELECT ...", into(x), Limit(1, false, false)`.

#include <cstdint>

namespace QxDataModule {

class Limit {
public:
    static constexpr uint32_t LIMIT_UNLIMITED = 0xFFFFFFFFu;

    // hardLimit: more rows than value is an error instead of being left unread.
    // isLowerLimit: value is the least number of rows; fewer is an error.
    explicit Limit(uint32_t value, bool hardLimit = false, bool isLowerLimit = false)
        : m_value(value), m_hardLimit(hardLimit), m_isLowerLimit(isLowerLimit) {}

    uint32_t value() const { return m_value; }
    bool isHardLimit() const { return m_hardLimit; }
    bool isLowerLimit() const { return m_isLowerLimit; }

private:
    uint32_t m_value;
    bool m_hardLimit;
    bool m_isLowerLimit;
};

} // namespace QxDataModule
