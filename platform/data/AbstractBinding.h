#pragma once
// Base of every value handed to a statement's placeholders. An adapter knows how many
// placeholders it fills and binds them once per execution.

#include "data/AbstractBinder.h"

#include <cstddef>

namespace QxDataModule {

class AbstractBinding {
public:
    virtual ~AbstractBinding() = default;

    virtual std::size_t numOfColumnsHandled() const = 0;
    virtual std::size_t numOfRowsHandled() const = 0;
    // True while the value still has to be bound in this execution.
    virtual bool canBind() const = 0;
    // Binds placeholders pos .. pos + numOfColumnsHandled() - 1.
    virtual void bind(std::size_t pos, AbstractBinder& binder) = 0;
    // Makes the binding ready for the next execution.
    virtual void reset() = 0;
};

} // namespace QxDataModule
