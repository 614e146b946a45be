#pragma once

#include <atomic>
#include <mutex>

namespace CV {

// The result of one update, shared by the worker and the caller that asked
// for the update. The worker keeps the cell alive for as long as it runs;
// the caller's integer receives every value stored (atomically) until the
// caller is detached, after which the caller may go away while the worker
// still runs.
class UpdateResultCell {
public:
    explicit UpdateResultCell(int& callerResult);
    UpdateResultCell(const UpdateResultCell&) = delete;
    UpdateResultCell& operator=(const UpdateResultCell&) = delete;

    void store(int value);
    int load() const;

    // What the write itself came to (the values of the update result),
    // noted before the worker's final pause; 0 until then. Unlike the
    // result, it is noted also when that pause is cut short.
    void noteWriteOutcome(int value) { m_writeOutcome.store(value); }
    int writeOutcome() const { return m_writeOutcome.load(); }

    // Later stores no longer reach the caller's integer.
    void detachCaller();

private:
    std::mutex m_mutex;
    int* m_pCallerResult;
    std::atomic<int> m_value;
    std::atomic<int> m_writeOutcome{0};
};

} // namespace CV
