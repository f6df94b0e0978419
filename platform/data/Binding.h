#pragma once
// Ready bindings for single integers and UTF-8 strings: `session << "... ?", use(value), now`.
// A binding keeps a pointer to the caller's variable, which must outlive the execution.

#include "data/AbstractBinding.h"

#include <concepts>
#include <memory>
#include <string>

namespace QxDataModule {

template <typename T>
concept BindableValue = std::integral<T> || std::same_as<T, std::string>;

template <BindableValue T> class Binding final : public AbstractBinding {
public:
    explicit Binding(const T& value) : m_pValue(&value) {}

    std::size_t numOfColumnsHandled() const override { return 1; }
    std::size_t numOfRowsHandled() const override { return 1; }
    bool canBind() const override { return !m_bBound; }
    void bind(std::size_t pos, AbstractBinder& binder) override {
        if constexpr (std::same_as<T, std::string>)
            binder.bind(pos, *m_pValue);
        else
            binder.bind(pos, static_cast<int64_t>(*m_pValue));
        m_bBound = true;
    }
    void reset() override { m_bBound = false; }

private:
    const T* m_pValue;
    bool m_bBound = false;
};

template <BindableValue T> std::unique_ptr<AbstractBinding> use(const T& value) {
    return std::make_unique<Binding<T>>(value);
}

// A temporary would be gone before the statement runs.
template <BindableValue T> std::unique_ptr<AbstractBinding> use(const T&& value) = delete;

} // namespace QxDataModule
