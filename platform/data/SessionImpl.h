#pragma once
// What a connector implements: an open connection (SessionImpl) and its prepared statements
// (StatementImpl). Session and Statement are the handles callers hold.

#include "data/AbstractBinder.h"

#include <cstddef>
#include <memory>
#include <string>

namespace QxDataModule {

class StatementImpl : public AbstractBinder, public AbstractExtractor, public AbstractPreparator {
public:
    // Number of distinct placeholders in the statement text.
    virtual std::size_t parameterCount() const = 0;
    // Runs to the next row: true when a row is ready, false when the statement is done.
    virtual bool next() = 0;
    // Makes the statement ready to run again with new bindings.
    virtual void reset() = 0;
};

class SessionImpl {
public:
    virtual ~SessionImpl() = default;
    virtual std::unique_ptr<StatementImpl> prepare(const std::string& sql) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool isTransaction() const = 0;
};

} // namespace QxDataModule
