#include "batch.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch_input.h"
#include "batch_rows.h"
#include "commands.h"
#include "messages.h"

namespace gaspipe::cli {

namespace {

// Writes the chunks' rows in input order, with their messages numbered over
// the whole input.
class Writer {
  public:
    Writer(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    // false: the run stops after this chunk (what stops it is said, except a
    // failed write, which Finish reports).
    bool Write(const ChunkOutput& chunk) {
        for (const RowMessage& m : chunk.messages)
            PrintMessage(
                err_, m.record == 0
                          ? "batch: " + m.text
                          : "batch: record " + std::to_string(records_ + m.record) + ": " + m.text);
        errno = 0;
        if (writeError_ == 0 && chunk.text.size() != 0 &&
            std::fwrite(chunk.text.data(), 1, chunk.text.size(), out_) != chunk.text.size())
            writeError_ = errno != 0 ? errno : EIO;
        if (chunk.error) {
            const CsvError& e = *chunk.error;
            PrintMessage(err_,
                         "batch: " +
                             (e.record == 0 ? std::string()
                                            : "record " + std::to_string(records_ + e.record)) +
                             e.text);
        }
        records_ += chunk.records;
        anyRowFailed_ = anyRowFailed_ || chunk.anyRowFailed;
        return writeError_ == 0 && !chunk.error && !chunk.refused;
    }

    // The exit status once the reading has ended, completely or not.
    int Finish(bool complete, bool haveHeader) {
        if (complete && !haveHeader) {
            PrintMessage(err_, "batch: the input has no header line");
            return kExitUsage;
        }
        if (writeError_ == 0 && std::fflush(out_) != 0) writeError_ = errno != 0 ? errno : EIO;
        if (writeError_ != 0) {
            PrintMessage(
                err_, std::string("batch: cannot write the output: ") + std::strerror(writeError_));
            return kExitUsage;
        }
        if (!complete) return kExitUsage;
        return anyRowFailed_ ? kExitCalcFailed : kExitOk;
    }

  private:
    std::FILE* out_;
    std::FILE* err_;
    std::size_t records_ = 0;  // before the next chunk
    int writeError_ = 0;
    bool anyRowFailed_ = false;
};

// The chunks after the header: read on this thread, worked on by `jobs`
// threads, written by one more in input order. A few chunks are in flight at
// a time, so memory stays bounded. Returns false when the run stopped early.
bool RunPipeline(ChunkReader& reader, Writer& writer, const BatchHeader& header, unsigned jobs) {
    enum class State { Free, Read, Done };
    struct Slot {
        InputChunk in;
        ChunkOutput out;
        State state = State::Free;
    };
    // One chunk for each worker, one being read and two waiting to be written.
    std::vector<Slot> slots(jobs + 3);
    const std::size_t n = slots.size();
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t read = 0, worked = 0;  // chunks read, chunks taken by a worker
    bool readingDone = false, stop = false;

    auto work = [&] {
        BatchRows rows(header);
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || worked < read || readingDone; });
            if (stop || worked == read) return;
            Slot& slot = slots[worked++ % n];
            lock.unlock();
            rows.Process(slot.in, slot.out);
            lock.lock();
            slot.state = State::Done;
            changed.notify_all();
        }
    };
    auto write = [&] {
        std::unique_lock lock(mutex);
        for (std::size_t seq = 0;; ++seq) {
            Slot& slot = slots[seq % n];
            changed.wait(lock, [&] {
                return stop || (seq < read && slot.state == State::Done) ||
                       (readingDone && seq == read);
            });
            if (stop || seq == read) return;
            lock.unlock();
            const bool go_on = writer.Write(slot.out);
            lock.lock();
            slot.state = State::Free;
            stop = !go_on;
            changed.notify_all();
        }
    };

    std::vector<std::thread> threads;
    for (unsigned i = 0; i < jobs; ++i) threads.emplace_back(work);
    threads.emplace_back(write);
    {
        std::unique_lock lock(mutex);
        for (std::size_t seq = 0;; ++seq) {
            Slot& slot = slots[seq % n];
            changed.wait(lock, [&] { return stop || slot.state == State::Free; });
            if (stop) break;
            lock.unlock();
            const bool more = reader.Next(slot.in);
            lock.lock();
            if (!more) break;
            slot.state = State::Read;
            ++read;
            changed.notify_all();
        }
        readingDone = true;
        changed.notify_all();
    }
    for (std::thread& t : threads) t.join();
    return !stop;
}

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const BatchConfig& config) {
    ChunkReader reader(in, config.chunkBytes, config.maxRecordBytes);
    Writer writer(out, err);
    // Until the header is read, on this thread.
    BatchRows rows;
    InputChunk chunk;
    ChunkOutput output;
    bool going = true;
    while (going && !rows.header() && reader.Next(chunk)) {
        rows.Process(chunk, output);
        going = writer.Write(output);
    }
    // Even one job gets threads of its own to read and write, so that the
    // rows are worked on while the input and output wait on the system.
    if (going && rows.header())
        going = RunPipeline(reader, writer, *rows.header(), std::max(config.jobs, 1u));
    return writer.Finish(going, rows.header().has_value());
}

}  // namespace gaspipe::cli
