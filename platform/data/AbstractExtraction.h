#pragma once
// Base of every target that result rows are read into, and of the prepare objects through which
// a target declares the columns it reads before the first row is fetched.

#include "data/AbstractBinder.h"
#include "data/Limit.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace QxDataModule {

class AbstractPrepare {
public:
    AbstractPrepare(AbstractPreparator& preparator, std::size_t pos)
        : m_preparator(preparator), m_pos(pos) {}
    virtual ~AbstractPrepare() = default;
    // Declares every column of the target, starting at position().
    virtual void prepare() = 0;

protected:
    AbstractPreparator& preparator() { return m_preparator; }
    std::size_t position() const { return m_pos; }

private:
    AbstractPreparator& m_preparator;
    std::size_t m_pos;
};

class AbstractExtraction {
public:
    explicit AbstractExtraction(uint32_t limit = Limit::LIMIT_UNLIMITED) : m_limit(limit) {}
    virtual ~AbstractExtraction() = default;

    virtual std::size_t numOfColumnsHandled() const = 0;
    virtual std::size_t numOfRowsHandled() const = 0;
    // Reads one row's columns pos .. pos + numOfColumnsHandled() - 1; returns the columns read.
    virtual std::size_t extract(std::size_t pos, AbstractExtractor& extractor) = 0;
    // Called before each execution.
    virtual void reset() {}
    virtual std::unique_ptr<AbstractPrepare> createPrepareObject(AbstractPreparator& preparator,
                                                                 std::size_t pos) = 0;

    // Most rows this target takes in one execution.
    uint32_t getLimit() const { return m_limit; }

private:
    uint32_t m_limit;
};

} // namespace QxDataModule
