#pragma once
// Targets that read result rows into the storage records: a vector target appends one default
// record per row, a single-record target takes exactly one row. Each record type maps its fields
// to consecutive columns through its RecordColumns specialisation (RecordColumns.h).

#include "data/AbstractExtraction.h"
#include "data/Exception.h"

#include <memory>
#include <vector>

namespace pellix {

template <typename Record> struct RecordColumns;

template <typename Record> class RecordPrepare final : public QxDataModule::AbstractPrepare {
public:
    using AbstractPrepare::AbstractPrepare;
    void prepare() override { RecordColumns<Record>::Prepare(preparator(), position()); }
};

template <typename Record>
class RecordVectorExtraction final : public QxDataModule::AbstractExtraction {
public:
    explicit RecordVectorExtraction(std::vector<Record>& records) : m_records(records) {}

    std::size_t numOfColumnsHandled() const override { return RecordColumns<Record>::COUNT; }
    std::size_t numOfRowsHandled() const override { return m_records.size(); }
    std::size_t extract(std::size_t pos, QxDataModule::AbstractExtractor& extractor) override {
        // A NULL column leaves the freshly constructed record's value.
        static const Record defaults{};
        RecordColumns<Record>::Extract(extractor, pos, m_records.emplace_back(), defaults);
        return RecordColumns<Record>::COUNT;
    }
    std::unique_ptr<QxDataModule::AbstractPrepare>
    createPrepareObject(QxDataModule::AbstractPreparator& preparator, std::size_t pos) override {
        return std::make_unique<RecordPrepare<Record>>(preparator, pos);
    }

private:
    std::vector<Record>& m_records;
};

template <typename Record> class RecordExtraction final : public QxDataModule::AbstractExtraction {
public:
    RecordExtraction(Record& record, Record defaults)
        : AbstractExtraction(QxDataModule::Limit::LIMIT_UNLIMITED), m_record(record),
          m_defaults(std::move(defaults)) {}

    std::size_t numOfColumnsHandled() const override { return RecordColumns<Record>::COUNT; }
    std::size_t numOfRowsHandled() const override { return m_bExtracted ? 1 : 0; }
    std::size_t extract(std::size_t pos, QxDataModule::AbstractExtractor& extractor) override {
        if (m_bExtracted)
            throw QxDataModule::ExtractException("value already extracted", 0);
        RecordColumns<Record>::Extract(extractor, pos, m_record, m_defaults);
        m_bExtracted = true;
        return RecordColumns<Record>::COUNT;
    }
    void reset() override { m_bExtracted = false; }
    std::unique_ptr<QxDataModule::AbstractPrepare>
    createPrepareObject(QxDataModule::AbstractPreparator& preparator, std::size_t pos) override {
        return std::make_unique<RecordPrepare<Record>>(preparator, pos);
    }

private:
    Record& m_record;
    Record m_defaults;
    bool m_bExtracted = false;
};

template <typename Record>
std::unique_ptr<QxDataModule::AbstractExtraction> intoRecords(std::vector<Record>& records) {
    return std::make_unique<RecordVectorExtraction<Record>>(records);
}

// A NULL column gives the field of defaults.
template <typename Record>
std::unique_ptr<QxDataModule::AbstractExtraction> intoRecord(Record& record,
                                                             Record defaults = Record()) {
    return std::make_unique<RecordExtraction<Record>>(record, std::move(defaults));
}

} // namespace pellix
