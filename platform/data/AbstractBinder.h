#pragma once
// What a connector offers bindings, extractions and prepare objects: values in and out of one
// statement by 0-based position. Connectors implement these; adapters only call them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace QxDataModule {

class AbstractBinder {
public:
    virtual ~AbstractBinder() = default;
    virtual void bind(std::size_t pos, int64_t value) = 0;
    virtual void bind(std::size_t pos, const std::string& value) = 0;
    virtual void bindNull(std::size_t pos) = 0;
};

class AbstractExtractor {
public:
    virtual ~AbstractExtractor() = default;
    // Each returns false for a NULL column and then leaves value untouched.
    virtual bool extract(std::size_t pos, int64_t& value) = 0;
    virtual bool extract(std::size_t pos, std::string& value) = 0;
};

enum class ColumnKind { Integer, Text };

class AbstractPreparator {
public:
    virtual ~AbstractPreparator() = default;
    // Declares that a target reads column pos as kind; throws DataException when the result has
    // no such column.
    virtual void prepare(std::size_t pos, ColumnKind kind) = 0;
};

} // namespace QxDataModule
