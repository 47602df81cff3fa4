#pragma once
// What a service records of its calls for a test or a benchmark to read:
// the pauses asked for, the messages shown, the file dialogs asked, the hooks
// found missing. Recorded only while the records are kept, which a test
// switches on (TestEnv::Init); the application keeps none, so a long run
// holds no list that grows with every pause, message or dialog.
#include <QList>

void KeepServiceLogs(bool on);
bool ServiceLogsKept();

template <typename Entry>
class ServiceLog {
public:
    void Add(const Entry& entry) {
        if (ServiceLogsKept()) entries_.append(entry);
    }
    const QList<Entry>& Entries() const { return entries_; }
    QList<Entry>& Entries() { return entries_; }
    void Clear() { entries_.clear(); }

private:
    QList<Entry> entries_;
};
