#pragma once
// Ready single-value targets for integers and strings: `session << "SELECT COUNT(*) ...",
// into(count), now`. A NULL column yields the default; a second row is an error.

#include "data/AbstractExtraction.h"
#include "data/Exception.h"

#include <concepts>
#include <memory>
#include <string>
#include <type_traits>

namespace QxDataModule {

template <typename T>
concept ExtractableValue = std::integral<T> || std::same_as<T, std::string>;

template <ExtractableValue T> constexpr ColumnKind ColumnKindOf() {
    return std::same_as<T, std::string> ? ColumnKind::Text : ColumnKind::Integer;
}

// Reads one column into value; a NULL column gives defaultValue. Integers wider than T wrap.
template <ExtractableValue T>
void ExtractColumn(AbstractExtractor& extractor, std::size_t pos, T& value, const T& defaultValue) {
    if constexpr (std::same_as<T, std::string>) {
        if (!extractor.extract(pos, value))
            value = defaultValue;
    } else {
        int64_t wide = 0;
        value = extractor.extract(pos, wide) ? static_cast<T>(wide) : defaultValue;
    }
}

template <ExtractableValue T> class SingleColumnPrepare final : public AbstractPrepare {
public:
    using AbstractPrepare::AbstractPrepare;
    void prepare() override { preparator().prepare(position(), ColumnKindOf<T>()); }
};

template <ExtractableValue T> class Extraction final : public AbstractExtraction {
public:
    Extraction(T& target, T defaultValue)
        : AbstractExtraction(Limit::LIMIT_UNLIMITED), m_target(target),
          m_default(std::move(defaultValue)) {}

    std::size_t numOfColumnsHandled() const override { return 1; }
    std::size_t numOfRowsHandled() const override { return m_bExtracted ? 1 : 0; }
    std::size_t extract(std::size_t pos, AbstractExtractor& extractor) override {
        if (m_bExtracted)
            throw ExtractException("value already extracted", 0);
        ExtractColumn(extractor, pos, m_target, m_default);
        m_bExtracted = true;
        return 1;
    }
    void reset() override { m_bExtracted = false; }
    std::unique_ptr<AbstractPrepare> createPrepareObject(AbstractPreparator& preparator,
                                                         std::size_t pos) override {
        return std::make_unique<SingleColumnPrepare<T>>(preparator, pos);
    }

private:
    T& m_target;
    T m_default;
    bool m_bExtracted = false;
};

template <ExtractableValue T>
std::unique_ptr<AbstractExtraction> into(T& target, std::type_identity_t<T> defaultValue = T()) {
    return std::make_unique<Extraction<T>>(target, std::move(defaultValue));
}

} // namespace QxDataModule
