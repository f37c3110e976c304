// The dispersion search: Love and Rayleigh modes at every frequency of the run. Each search
// reads only its own results of the two previous frequencies, so the Love and the Rayleigh
// searches of the whole frequency loop run side by side, and their records are written in
// the order of a sequential run.
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "dispersion/dispersion_files.h"
#include "dispersion/searches.h"
#include "dispersion/trace_files.h"
#include "driver/run.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"
#include "records/transcript.h"

namespace vemlari {

namespace {

[[noreturn]] void stop_with(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    write_free(st, unit::log, {text});
    throw RunStop();
}

// The searches never run at zero frequency.
double angular_frequency(const Run& run, int io) { return io == 0 ? 0.001 : run.freq.dom * io; }

void frequency_head(Run& run, int io) {
    static const Layout om_record("(E15.7)");
    static const Layout om_line("(' omega and freq.=',F8.3,F8.4)");
    Streams& st = run.streams;
    const double om = angular_frequency(run, io);
    om_record.write(st, 20, {om});
    write_free(st, unit::console, {});
    for (int u : {unit::console, unit::log}) om_line.write(st, u, {om, om / 6.283185307});
    if (run.output.isec == 1) open_trace_files(st);
}

void highest_modes(Run& run, int io) {
    if (run.nstrc.nl == 1 || io == 0) return;
    write_free(run.streams, unit::console,
               {"  The highest modes for L- and R-waves", run.ccmd.mdl[io], run.ccmd.mdr[io]});
}

// One wave type's search over the whole frequency loop, on its own thread, with the records
// of each frequency kept until the driver writes them.
struct Lane {
    std::vector<Transcript> records;
    int done = 0;  // frequencies finished, guarded by the mutex
    int failed_at = -1;
    std::exception_ptr failure;
};

void run_in_parallel(Run& run) {
    const int iom = run.freq.iom;
    const int n = run.freq.nom - iom + 1;
    // The two searches take two threads; further threads help both evaluate ahead, and the
    // thread of the search that ends first then helps the other.
    WorkerPool pool(std::max(1, run.threads - 1));
    LoveFunction love(run.nstrc, pool);
    RayleighFunction rayleigh(run.nstrc, pool);
    Lane lanes[2];
    for (Lane& l : lanes) l.records.resize(static_cast<std::size_t>(n));
    std::mutex mutex;
    std::condition_variable progress;
    bool abandon = false;
    int lanes_over = 0;  // guarded by the mutex

    auto lane_body = [&](Lane& lane, auto&& search) {
        for (int k = 0; k < n; ++k) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (abandon) return;
            }
            int failed = -1;
            std::exception_ptr failure;
            try {
                search(iom + k, lane.records[static_cast<std::size_t>(k)]);
            } catch (...) {
                failed = k;
                failure = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                lane.done = k + 1;
                lane.failed_at = failed;
                lane.failure = failure;
            }
            progress.notify_all();
            if (failed >= 0) return;
        }
    };
    // The first lane to end lends its thread to the other's batches; the second ends that.
    auto lane_over = [&] {
        bool last;
        {
            std::lock_guard<std::mutex> lock(mutex);
            last = ++lanes_over == 2;
        }
        if (last) {
            pool.release();
        } else {
            pool.lend();
        }
    };
    std::thread love_thread([&] {
        lane_body(lanes[0], [&](int io, RecordSink& out) {
            if (run.nstrc.nl != 1) love_search(io, angular_frequency(run, io), run, love, out);
        });
        lane_over();
    });
    std::thread rayleigh_thread([&] {
        lane_body(lanes[1], [&](int io, RecordSink& out) {
            rayleigh_search(io, angular_frequency(run, io), run, rayleigh, out);
        });
        lane_over();
    });
    auto finish = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            abandon = true;
        }
        love_thread.join();
        rayleigh_thread.join();
        run.love_evaluations += love.evaluations();
        run.rayleigh_evaluations += rayleigh.evaluations();
    };

    try {
        for (int k = 0; k < n; ++k) {
            frequency_head(run, iom + k);
            for (Lane& lane : lanes) {
                std::exception_ptr failure;
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    progress.wait(lock, [&] { return lane.done > k; });
                    if (lane.failed_at == k) failure = lane.failure;
                }
                lane.records[static_cast<std::size_t>(k)].replay(run.streams);
                lane.records[static_cast<std::size_t>(k)].clear();
                if (failure) std::rethrow_exception(failure);
            }
            highest_modes(run, iom + k);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void run_in_sequence(Run& run) {
    WorkerPool pool(1);
    LoveFunction love(run.nstrc, pool);
    RayleighFunction rayleigh(run.nstrc, pool);
    for (int io = run.freq.iom; io <= run.freq.nom; ++io) {
        frequency_head(run, io);
        const double om = angular_frequency(run, io);
        if (run.nstrc.nl != 1) love_search(io, om, run, love, run.streams);
        rayleigh_search(io, om, run, rayleigh, run.streams);
        highest_modes(run, io);
    }
    run.love_evaluations += love.evaluations();
    run.rayleigh_evaluations += rayleigh.evaluations();
}

}  // namespace

void phase(int mom_limit, Run& run) {
    Streams& st = run.streams;
    if (run.nstrc.nl > nml) stop_with(st, " FROM PHASE: NL.GT.20 !!!!!!!!!!!!!!!");
    if (mom_limit > nfreq - 1) stop_with(st, " FROM PHASE: MOM.GT.701 !!!!!!!!!!!!!!!");

    st.open(20, "om_dat", OpenStatus::unk);
    write_free(st, unit::console, {});
    write_free(st, unit::log, {});
    if (run.threads > 1 && run.freq.nom >= run.freq.iom) {
        run_in_parallel(run);
    } else {
        run_in_sequence(run);
    }
    close_trace_files(st);
    st.close(20);
    write_dispersion_files(st, run.freq, run.ccmd);
}

}  // namespace vemlari
