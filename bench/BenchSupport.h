#pragma once
// What the benchmark programs set up and report alike: a private lock folder
// for the embedded engine, guarded benchmark bodies, an administrator's
// attachment through Firebird's object interface, and the mean real times.

#include <QString>
#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Before the application object: the embedded engine keeps its lock files in
// $FIREBIRD_LOCK, else /tmp/quillane-bench-lock, apart from any server on this
// machine; with widgets, the offscreen platform unless another is asked for.
void PrepareEnvironment(bool widgets);

// The text of an error raised by our code, by Firebird's client or by the library.
std::string ErrorText(std::exception_ptr error);

// Runs a benchmark body; an error ends the benchmark with its text instead of the program.
void Guarded(benchmark::State& state, const std::function<void()>& body);

// Registers body under name, run guarded.
benchmark::internal::Benchmark* RegisterGuarded(const char* name, void (*body)(benchmark::State&));

// Attaches to (or, with create, creates in WIN1251) a database as SYSDBA,
// dialect 3, with the data module's password.
Firebird::IAttachment* AttachAsAdmin(Firebird::ThrowStatusWrapper& st, const std::string& file, bool create = false);

// Points the program's installation folder at home, with the no-password
// marker and a copy of the benchmark database of that many documents in its
// data folder, and reads mem.txt and payment.txt from home. Returns the copy.
std::string InstallDatabaseCopy(const QString& home, int documents);

// One fetch of every row and column of STORE, values copied out as text: the
// plain client's baseline. Returns the number of rows.
size_t PlainFetchOfStore(Firebird::IAttachment* att, Firebird::ITransaction* tra, Firebird::ThrowStatusWrapper& st);

// Logs in as the owner of the stored document at recNo (a document without
// one belongs to the first user), so that saving it overwrites it.
void LogInAsOwnerOf(int recNo);

// The plain client's baseline as a benchmark body: PlainFetchOfStore of the
// database file, timed once an iteration in one attachment and transaction.
void FetchStoreTimed(benchmark::State& state, const std::string& file);

// The console output, and the mean real time of every benchmark: of its
// single runs, or of its means when only aggregates are reported.
class MeanTimeReporter : public benchmark::ConsoleReporter {
public:
    MeanTimeReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    double Mean(const std::string& name) const;  // seconds; 0 when it did not run

private:
    std::map<std::string, std::pair<double, int>> seconds_;
};

}  // namespace bench
