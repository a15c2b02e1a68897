#pragma once
// A database of the size a busy small business reaches after some years, for
// the benchmarks: 10,000 issued documents of 20 line items each, 2,000
// customers, 1,000 goods, three own firms with logos, bank accounts,
// currencies, users and employees. The data is the same on every run (a fixed
// seed), and the finished file is kept in a folder and reused.

#include <QString>

namespace bench {

constexpr int kDocuments = 10000;
constexpr int kLineItems = 20;
constexpr int kCustomers = 2000;
constexpr int kGoods = 1000;
constexpr int kFirms = 3;
constexpr int kBankAccounts = 6;
constexpr int kCurrencies = 4;
constexpr int kUsers = 5;
constexpr int kEmployees = 25;

// Rows inserted between two commits.
constexpr int kBatchRows = 500;

// $QUILLANE_BENCH_DIR, else /tmp/quillane-bench.
QString BenchFolder();

struct BenchDatabase {
    QString folder;     // holds tovelx.fdb
    QString file;       // <folder>/tovelx.fdb
    bool reused = false;
    double seconds = 0;  // spent generating (0 when reused)
};

// Generates <BenchFolder()>/tovelx.fdb (of another number of documents:
// <BenchFolder()>/<documents>/tovelx.fdb) unless a complete one of this
// generator's version is already there. Connecting to it writes the
// database's alias into <BenchFolder()>/no-aliases, never the machine's file.
BenchDatabase EnsureBenchDatabase(int documents = kDocuments);

// Creates a new database file with the eight tables and fills it.
void GenerateDatabase(const QString& file, int documents = kDocuments);

}  // namespace bench
