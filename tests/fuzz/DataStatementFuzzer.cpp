// libFuzzer target for the data library: the input is a little program of statements over one
// table t (k INTEGER PRIMARY KEY, n INTEGER, s TEXT) in a SQLite file on tmpfs. Each step picks
// its SQL from a fixed list and takes from the input the values it binds, the types and defaults
// it extracts into, its row limit and how many bindings and targets it has, right or wrong. The
// library must run a well-formed statement and answer an ill-formed one with DataException, and
// what it reads must be what was written: the table is mirrored in memory and compared.

#include "data/AbstractExtraction.h"
#include "data/Binding.h"
#include "data/Exception.h"
#include "data/Extraction.h"
#include "data/SQLite/Connector.h"
#include "data/Session.h"
#include "data/SessionFactory.h"
#include "data/Statement.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellix {

using namespace QxDataModule;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class Input {
public:
    Input(const uint8_t* data, std::size_t size) : m_pData(data), m_nLeft(size) {}
    bool Empty() const { return m_nLeft == 0; }
    uint8_t Byte() {
        if (m_nLeft == 0)
            return 0;
        --m_nLeft;
        return *m_pData++;
    }
    bool Bool() { return (Byte() & 1) != 0; }
    int64_t Int() {
        // Small keys collide often, so that rows are replaced and found again.
        const uint8_t width = Byte() % 4;
        if (width == 0)
            return static_cast<int8_t>(Byte()) % 8;
        uint64_t value = 0;
        for (int i = 0; i < (width == 3 ? 8 : width * 2); ++i)
            value = value << 8 | Byte();
        return static_cast<int64_t>(value);
    }
    std::string Text() {
        const std::size_t length = std::min<std::size_t>(Byte() * 8u + Byte() % 8, m_nLeft);
        std::string text(reinterpret_cast<const char*>(m_pData), length);
        m_pData += length;
        m_nLeft -= length;
        return text;
    }

private:
    const uint8_t* m_pData;
    std::size_t m_nLeft;
};

struct Row {
    std::optional<int64_t> n;
    std::optional<std::string> s;
    bool operator==(const Row&) const = default;
};
using Table = std::map<int64_t, Row>;

// A target that keeps every row of (k, n, s), reading NULL as nothing.
class TableExtraction final : public AbstractExtraction {
public:
    explicit TableExtraction(Table& rows) : m_Rows(rows) {}
    std::size_t numOfColumnsHandled() const override { return 3; }
    std::size_t numOfRowsHandled() const override { return m_Rows.size(); }
    std::size_t extract(std::size_t pos, AbstractExtractor& extractor) override {
        int64_t key = 0;
        Check(extractor.extract(pos, key));
        Row row;
        if (int64_t n = 0; extractor.extract(pos + 1, n))
            row.n = n;
        if (std::string s; extractor.extract(pos + 2, s))
            row.s = std::move(s);
        Check(m_Rows.emplace(key, std::move(row)).second);
        return 3;
    }
    void reset() override { m_Rows.clear(); }
    std::unique_ptr<AbstractPrepare> createPrepareObject(AbstractPreparator& preparator,
                                                         std::size_t pos) override {
        return std::make_unique<Prepare>(preparator, pos);
    }

private:
    class Prepare final : public AbstractPrepare {
    public:
        using AbstractPrepare::AbstractPrepare;
        void prepare() override {
            preparator().prepare(position(), ColumnKind::Integer);
            preparator().prepare(position() + 1, ColumnKind::Integer);
            preparator().prepare(position() + 2, ColumnKind::Text);
        }
    };

    Table& m_Rows;
};

// Reads column pos of a one-row result into an integer of the width the input picks and checks
// it against what a wide read gives, narrowed the same way.
template <typename T> void CheckNarrowed(Session& session, int64_t key, int64_t wide, T fallback) {
    T value = fallback;
    session << "SELECT n FROM t WHERE k = ?", use(key), into(value, fallback), now;
    Check(value == static_cast<T>(wide));
}

class Program {
public:
    Program(Session& session, Input& input) : m_Session(session), m_In(input) {
        m_Session << "DELETE FROM t", now;
    }

    void Run() {
        while (!m_In.Empty()) {
            switch (m_In.Byte() % 8) {
            case 0:
                Insert();
                break;
            case 1:
                InsertKeyOnly();
                break;
            case 2:
                Delete();
                break;
            case 3:
                Lookup();
                break;
            case 4:
                SelectWithLimit();
                break;
            case 5:
                BindAndExtractFreely();
                break;
            case 6:
                InTransaction();
                break;
            default:
                RunTwice();
                break;
            }
        }
        CompareTable();
    }

private:
    void Insert() {
        const int64_t key = m_In.Int();
        const int64_t n = m_In.Int();
        const std::string s = m_In.Text();
        m_Session << "INSERT OR REPLACE INTO t (k, n, s) VALUES (?, ?, ?)", use(key), use(n),
            use(s), now;
        m_Table[key] = Row{n, s};
    }
    void InsertKeyOnly() {
        const int32_t key = static_cast<int32_t>(m_In.Int());
        m_Session << "INSERT OR REPLACE INTO t (k) VALUES (?)", use(key), now;
        m_Table[key] = Row{};
    }
    void Delete() {
        const int64_t key = m_In.Int();
        m_Session << "DELETE FROM t WHERE k = :key", use(key), now;
        m_Table.erase(key);
    }

    void Lookup() {
        const int64_t key = m_In.Int();
        const auto found = m_Table.find(key);
        const int64_t fallback = m_In.Int();
        const std::string textFallback = m_In.Text();
        int64_t n = 0;
        std::string s;
        m_Session << "SELECT n, s FROM t WHERE k = ?", use(key), into(n, fallback),
            into(s, textFallback), now;
        const Row row = found == m_Table.end() ? Row{} : found->second;
        if (found == m_Table.end()) {
            // No row: the targets are not touched, not even with their defaults.
            Check(n == 0 && s.empty());
            return;
        }
        Check(n == row.n.value_or(fallback));
        Check(s == row.s.value_or(textFallback));
        const int64_t wide = row.n.value_or(fallback);
        switch (m_In.Byte() % 4) {
        case 0:
            CheckNarrowed<int32_t>(m_Session, key, wide, static_cast<int32_t>(fallback));
            break;
        case 1:
            CheckNarrowed<uint16_t>(m_Session, key, wide, static_cast<uint16_t>(fallback));
            break;
        case 2:
            CheckNarrowed<int8_t>(m_Session, key, wide, static_cast<int8_t>(fallback));
            break;
        default:
            CheckNarrowed<bool>(m_Session, key, wide, fallback != 0);
            break;
        }
    }

    // One target for the smallest keys, under a row limit: more than one row fetched, fewer rows
    // than a lower limit, or rows left over a hard limit are errors.
    void SelectWithLimit() {
        const uint32_t value = m_In.Byte() % 4;
        const bool hard = m_In.Bool();
        const bool lower = m_In.Bool();
        const int64_t fallback = m_In.Int();
        const std::size_t rows = m_Table.size();
        const std::size_t fetched = lower ? rows : std::min<std::size_t>(value, rows);
        const bool fails = fetched >= 2 || (!lower && hard && fetched >= value && rows > fetched) ||
                           (lower && rows < value);
        int64_t key = fallback;
        try {
            m_Session << "SELECT k FROM t ORDER BY k", into(key, fallback),
                Limit(value, hard, lower), now;
        } catch (const DataException&) {
            Check(fails);
            return;
        }
        Check(!fails);
        Check(key == (fetched == 1 ? m_Table.begin()->first : fallback));
    }

    // Two placeholders, with none to three values bound and none to three targets: only two
    // values and at most two targets may run, and each target then reads back what was bound.
    void BindAndExtractFreely() {
        const std::size_t bound = m_In.Byte() % 4;
        const std::size_t targets = m_In.Byte() % 4;
        int64_t ints[3] = {};
        std::string texts[3];
        bool isText[3] = {};
        int64_t intTargets[3] = {};
        std::string textTargets[3];
        Statement statement = m_Session << "SELECT ?, ?";
        for (std::size_t i = 0; i < bound; ++i) {
            isText[i] = m_In.Bool();
            if (isText[i]) {
                texts[i] = m_In.Text();
                statement, use(texts[i]);
            } else {
                ints[i] = m_In.Int();
                statement, use(ints[i]);
            }
        }
        for (std::size_t i = 0; i < targets; ++i) {
            if (isText[i])
                statement, into(textTargets[i]);
            else
                statement, into(intTargets[i]);
        }
        const bool fails = bound != 2 || targets > 2;
        try {
            Check(statement.execute() == 1);
        } catch (const DataException&) {
            Check(fails);
            return;
        }
        Check(!fails);
        for (std::size_t i = 0; i < targets; ++i)
            Check(isText[i] ? textTargets[i] == texts[i] : intTargets[i] == ints[i]);
    }

    void InTransaction() {
        const Table before = m_Table;
        const bool commit = m_In.Bool();
        {
            Transaction transaction(m_Session);
            for (int steps = m_In.Byte() % 4; steps > 0; --steps) {
                if (m_In.Bool())
                    Insert();
                else
                    Delete();
            }
            if (commit)
                transaction.commit();
        }
        if (!commit)
            m_Table = before;
    }

    // A statement keeps pointers to its values: run again, it binds what they hold then.
    void RunTwice() {
        int64_t key = m_In.Int();
        std::string s = m_In.Text();
        Statement statement = m_Session << "INSERT OR REPLACE INTO t (k, s) VALUES (?, ?)";
        statement, use(key), use(s);
        statement.execute();
        m_Table[key] = Row{std::nullopt, s};
        key = m_In.Int();
        s = m_In.Text();
        statement.execute();
        m_Table[key] = Row{std::nullopt, s};
    }

    void CompareTable() {
        Table stored;
        m_Session << "SELECT k, n, s FROM t ORDER BY k",
            std::unique_ptr<AbstractExtraction>(new TableExtraction(stored)), now;
        Check(stored == m_Table);
    }

    Session& m_Session;
    Input& m_In;
    Table m_Table;
};

// Never destroyed: libFuzzer ends with exit(); both stay reachable.
QTemporaryDir* g_pDir = nullptr;
Session* g_pSession = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // On tmpfs where there is one: the file is written at every step.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_pDir = new QTemporaryDir(base + QStringLiteral("/pellix-data-fuzz-XXXXXX"));
    SQLite::Connector::registerConnector();
    g_pSession = new Session(SessionFactory::instance().create(
        SQLite::Connector::KEY, g_pDir->filePath(QStringLiteral("fuzz.db")).toStdString()));
    *g_pSession << "CREATE TABLE t (k INTEGER PRIMARY KEY, n INTEGER, s TEXT)", now;
    std::atexit([] { g_pDir->remove(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Input input(data, size);
    try {
        Program(*g_pSession, input).Run();
    } catch (const std::exception&) {
        // Every statement above is well formed unless it says otherwise.
        std::abort();
    }
    return 0;
}

} // namespace pellix
