#pragma once
// A result target for the data-access library that keeps every row: each row is read by a
// function into a record appended to a vector. Used by the SQLite account store for lists.

#include "data/AbstractExtraction.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pellix::server {

template <typename Row> class RowsExtraction final : public QxDataModule::AbstractExtraction {
public:
    using ReadRow = std::function<void(QxDataModule::AbstractExtractor&, std::size_t, Row&)>;

    RowsExtraction(std::vector<Row>& rows, std::vector<QxDataModule::ColumnKind> columns,
                   ReadRow readRow)
        : m_Rows(rows), m_Columns(std::move(columns)), m_ReadRow(std::move(readRow)) {}

    std::size_t numOfColumnsHandled() const override { return m_Columns.size(); }
    std::size_t numOfRowsHandled() const override { return m_Rows.size(); }
    std::size_t extract(std::size_t pos, QxDataModule::AbstractExtractor& extractor) override {
        Row row{};
        m_ReadRow(extractor, pos, row);
        m_Rows.push_back(std::move(row));
        return m_Columns.size();
    }
    void reset() override { m_Rows.clear(); }
    std::unique_ptr<QxDataModule::AbstractPrepare>
    createPrepareObject(QxDataModule::AbstractPreparator& preparator, std::size_t pos) override {
        return std::make_unique<Prepare>(preparator, pos, m_Columns);
    }

private:
    class Prepare final : public QxDataModule::AbstractPrepare {
    public:
        Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos,
                const std::vector<QxDataModule::ColumnKind>& columns)
            : AbstractPrepare(preparator, pos), m_Columns(columns) {}
        void prepare() override {
            for (std::size_t i = 0; i < m_Columns.size(); ++i)
                preparator().prepare(position() + i, m_Columns[i]);
        }

    private:
        const std::vector<QxDataModule::ColumnKind>& m_Columns;
    };

    std::vector<Row>& m_Rows;
    std::vector<QxDataModule::ColumnKind> m_Columns;
    ReadRow m_ReadRow;
};

template <typename Row>
std::unique_ptr<QxDataModule::AbstractExtraction>
intoRows(std::vector<Row>& rows, std::vector<QxDataModule::ColumnKind> columns,
         typename RowsExtraction<Row>::ReadRow readRow) {
    return std::make_unique<RowsExtraction<Row>>(rows, std::move(columns), std::move(readRow));
}

} // namespace pellix::server
