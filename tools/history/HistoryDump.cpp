// pellix-history: prints the messages of chat history files, so the demo and its test can say
// what each user stored without an sqlite3 shell. Usage: pellix-history FILE...
// For each file: "FILE: N rows", then one line per message "FROM -> TO: MESSAGE" in the order
// stored. Exits 1 when a file is missing or is no chat history.

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

std::string Column(sqlite3_stmt* row, int column) {
    const unsigned char* text = sqlite3_column_text(row, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

bool PrintHistory(const char* path) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path, &raw, SQLITE_OPEN_READONLY, nullptr);
    Database database(raw, &sqlite3_close);
    sqlite3_stmt* rawSelect = nullptr;
    if (opened != SQLITE_OK ||
        sqlite3_prepare_v2(raw, "SELECT [From], [To], [Message] FROM [chat_history] ORDER BY rowid",
                           -1, &rawSelect, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "pellix-history: %s: %s\n", path,
                     raw != nullptr ? sqlite3_errmsg(raw) : "cannot open");
        return false;
    }
    Statement select(rawSelect, &sqlite3_finalize);
    std::string lines;
    int rows = 0;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rawSelect)) == SQLITE_ROW) {
        ++rows;
        lines += "  " + Column(rawSelect, 0) + " -> " + Column(rawSelect, 1) + ": " +
                 Column(rawSelect, 2) + "\n";
    }
    if (step != SQLITE_DONE) {
        std::fprintf(stderr, "pellix-history: %s: %s\n", path, sqlite3_errmsg(raw));
        return false;
    }
    std::printf("%s: %d rows\n%s", path, rows, lines.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pellix-history FILE...\n");
        return 2;
    }
    bool ok = true;
    for (int index = 1; index < argc; ++index)
        ok = PrintHistory(argv[index]) && ok;
    return ok ? 0 : 1;
}
