#include "commands.hpp"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "catalogue/catalogue.hpp"
#include "crc.hpp"
#include "current/catalogue.hpp"
#include "ext_list.hpp"
#include "identify.hpp"
#include "journal.hpp"
#include "output.hpp"
#include "rename.hpp"
#include "sjis.hpp"
#include "system.hpp"
#include "zarvo32.h"

namespace oxtarn::cli {

namespace {

Outcome examine(const std::string& path, const Settings& s) {
    Outcome o;
    o.path = path;
    // Quiet: the tool reports unreadable files itself, once, in its own words.
    zarvo::Identification id = zarvo::identify(path.c_str(), s.sample, s.options | ZARVO_QUIET);
    if (id.status != zarvo::Identification::Status::kRead) {
        std::error_code ec;
        if (std::filesystem::is_directory(fs_path(path), ec)) o.error = "is a folder (use -r to identify what it holds)";
        else o.error = id.error.empty() ? "the file could not be read" : id.error;
        return o;
    }
    o.result = zarvo::to_result(id);
    zarvo::current::KindName kind = zarvo::kind_name(id);
    o.name = kind.name;
    o.mime = kind.mime;
    if (s.crc) {
        zarvo::FileChecksums sums = zarvo::file_checksums(path.c_str());
        o.crc16 = sums.crc16;
        o.crc32 = sums.crc32;
    }
    return o;
}

// One input as it goes through: its path, then its outcome.
struct Task {
    Input input;
    Outcome outcome;
    bool done = false;
};

// Identifies the inputs on `s.jobs` threads through the reentrant core and
// hands each task to `take` in input order, as soon as it and all before it
// are done. The inputs are read as the work goes on (on a thread of their
// own, so that a list written slowly never holds back the answers already
// found), and at most a window of tasks is held: memory stays bounded by the
// jobs in flight whatever the length of the list. `take` returns false to
// stop the run; `starved` is called when the run waits for its inputs.
template <typename Take, typename Starved>
void identify_stream(std::unique_ptr<PathSource> source, const Settings& s, Take&& take, Starved&& starved) {
    const unsigned workers = std::max(1u, s.jobs);
    if (workers == 1) {
        for (Task t;;) {
            if (source->may_wait()) starved();
            if (!source->next(t.input)) return;
            t.outcome = t.input.error.empty() ? examine(t.input.path, s) : Outcome();
            if (!take(t)) return;
        }
    }

    // What the reading thread shares: it may outlive this call when the run
    // stops while it waits for a list.
    struct Shared {
        std::unique_ptr<PathSource> source;
        std::size_t window;
        std::vector<Task> ring;
        std::vector<std::size_t> queue;  // tasks waiting for a worker, oldest first
        std::size_t queue_head = 0;
        std::size_t next_in = 0, next_out = 0;  // task numbers
        bool exhausted = false, stop = false, reader_done = false;
        std::mutex m;
        std::condition_variable work, finished, space;
    };
    auto sh = std::make_shared<Shared>();
    sh->source = std::move(source);
    sh->window = 16 * workers;
    sh->ring.resize(sh->window);

    std::thread reader([sh, workers] {
        for (;;) {
            Input input;
            bool more = sh->source->next(input);
            std::unique_lock lock(sh->m);
            if (!more || sh->stop) {
                sh->exhausted = true;
                sh->reader_done = true;
                sh->finished.notify_all();
                sh->work.notify_all();  // the last short run
                return;
            }
            if (sh->next_in - sh->next_out >= sh->window) sh->work.notify_all();  // the window is full: all to work
            sh->space.wait(lock, [&] { return sh->stop || sh->next_in - sh->next_out < sh->window; });
            if (sh->stop) {
                sh->reader_done = true;
                return;
            }
            Task& t = sh->ring[sh->next_in % sh->window];
            t.input = std::move(input);
            t.done = !t.input.error.empty();  // an input error needs no worker
            if (t.done) {
                sh->finished.notify_all();
            } else {
                sh->queue.push_back(sh->next_in);
                // Workers are woken when a run is ready, or when the list pauses.
                if (sh->queue.size() - sh->queue_head >= 2 * workers || sh->source->may_wait()) sh->work.notify_one();
            }
            ++sh->next_in;
        }
    });

    std::vector<std::thread> pool;
    for (unsigned w = 0; w < workers; ++w)
        pool.emplace_back([&s, sh, workers] {
            std::unique_lock lock(sh->m);
            std::vector<std::pair<std::size_t, std::string>> run;
            std::vector<Outcome> outcomes;
            for (;;) {
                sh->work.wait(lock, [&] { return sh->stop || sh->queue_head < sh->queue.size(); });
                if (sh->stop) return;
                // A run of tasks at a time, a share of those waiting, so that a
                // thread is woken once a run rather than once a file.
                std::size_t waiting = sh->queue.size() - sh->queue_head;
                std::size_t take = std::clamp<std::size_t>(waiting / (2 * workers), 1, 32);
                run.clear();
                for (std::size_t k = 0; k < take; ++k) {
                    std::size_t n = sh->queue[sh->queue_head++];
                    run.emplace_back(n, sh->ring[n % sh->window].input.path);
                }
                if (sh->queue_head == sh->queue.size()) {
                    sh->queue.clear();
                    sh->queue_head = 0;
                }
                lock.unlock();
                outcomes.clear();
                for (const auto& [n, path] : run) outcomes.push_back(examine(path, s));
                lock.lock();
                for (std::size_t k = 0; k < run.size(); ++k) {
                    Task& t = sh->ring[run[k].first % sh->window];
                    t.outcome = std::move(outcomes[k]);
                    t.done = true;
                }
                sh->finished.notify_all();
            }
        });

    std::unique_lock lock(sh->m);
    for (;;) {
        Task& oldest = sh->ring[sh->next_out % sh->window];
        if (sh->next_out < sh->next_in && oldest.done) {
            Task t = std::move(oldest);
            oldest = Task();
            ++sh->next_out;
            sh->space.notify_one();
            lock.unlock();
            bool go_on = take(t);
            lock.lock();
            if (!go_on) break;
            continue;
        }
        if (sh->exhausted && sh->next_out == sh->next_in) break;
        if (sh->next_out == sh->next_in) {  // all answered: waiting for the list
            lock.unlock();
            starved();
            lock.lock();
            if (sh->next_out < sh->next_in || sh->exhausted) continue;
        }
        sh->finished.wait(lock);
    }
    sh->stop = true;
    bool reader_done = sh->reader_done;
    lock.unlock();
    sh->work.notify_all();
    sh->space.notify_all();
    for (std::thread& t : pool) t.join();
    // A reader still waiting for a list that is not coming is left to the
    // end of the process; it holds its own share of the state.
    if (reader_done) reader.join();
    else reader.detach();
}

}  // namespace

int run_identify(const Settings& s) {
    Output out;
    Terminal term(!s.quiet);
    std::unique_ptr<Journal> journal;
    if (s.fix && !s.journal.empty() && !s.dry_run) {
        std::string error;
        journal = Journal::open(s.journal, error);
        if (!journal) {
            term.error(shown(s.journal) + ": cannot use as the journal: " + error);
            return 2;
        }
    }

    std::unique_ptr<Printer> printer = make_printer(s, out);
    printer->begin();
    int failures = 0;
    bool journal_failed = false;
    std::size_t done = 0;
    auto source = std::make_unique<PathSource>(s.paths, s.files_from, s.inputs);

    identify_stream(std::move(source), s, [&](Task& t) {
        term.progress(++done);
        if (!t.input.error.empty()) {
            term.error(shown(t.input.path) + ": " + t.input.error);
            ++failures;
            return true;
        }
        Outcome& o = t.outcome;
        if (!o.error.empty()) {
            term.error(shown(o.path) + ": " + o.error);
            ++failures;
        }
        if (s.fix && o.error.empty()) {
            if (std::optional<std::string> to = fixed_path(o.path, zarvo::sjis::to_utf8(o.result.extensions))) {
                std::string reason;
                FileIdentity id;
                if (s.dry_run) {
                    o.renamed_to = *to;
                } else if (!file_identity(o.path, id, reason)) {
                    o.rename_error = reason;
                } else if (journal && !journal->record(absolute_path(o.path), absolute_path(*to), id, reason)) {
                    // No rename without its entry: the run ends here.
                    term.error(shown(journal->path()) + ": cannot write the journal: " + reason +
                               "; nothing more is renamed");
                    journal_failed = true;
                    return false;
                } else if (std::string refused = rename_no_replace(o.path, *to); !refused.empty()) {
                    o.rename_error = refused;
                } else {
                    o.renamed_to = *to;
                }
                if (!o.rename_error.empty()) {
                    term.error("not renamed: " + shown(o.path) + ": " + o.rename_error);
                    ++failures;
                }
            }
        }
        printer->record(o);
        return !out.failed();
    }, [&] { out.flush(); });

    if (!out.finish()) {
        term.error("cannot write the output: " + out.error());
        return 1;
    }
    return failures || journal_failed ? 1 : 0;
}

int run_undo(const std::string& journal, bool dry_run) {
    Output out;
    Terminal term(false);
    UndoOutcome u = undo(journal, dry_run, out, term);
    if (!out.finish()) {
        term.error("cannot write the output: " + out.error());
        return 1;
    }
    return u.failed ? 1 : 0;
}

int run_describe(const std::string& ext, int variant) {
    Output out;
    out.write(zarvo::sjis::to_utf8(zarvo::catalogue::describe(ext, variant)) + "\n");
    if (out.finish()) return 0;
    Terminal(false).error("cannot write the output: " + out.error());
    return 1;
}

int run_list_extensions(bool current) {
    std::string list(current ? zarvo::current::extension_list() : zarvo::kKnownExtensions);
    std::replace(list.begin(), list.end(), ',', '\n');
    Output out;
    out.write(list + "\n");
    if (out.finish()) return 0;
    Terminal(false).error("cannot write the output: " + out.error());
    return 1;
}

}  // namespace oxtarn::cli
