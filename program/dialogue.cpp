// Model file and run dialogue: reads the layered model and the answers, checks them and
// fills the run-state records.
#include <cmath>
#include <filesystem>
#include <string>

#include "program/list_input.h"
#include "program/model_check.h"
#include "program/model_file.h"
#include "program/refusal.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/number_images.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

// A limit of the program: the reason on the console and in the log, then the end of the run.
[[noreturn]] void stop_with(Streams& st, const char* text) {
    write_free(st, unit::console, {text});
    write_free(st, unit::log, {text});
    throw RunStop();
}

// A model file that is also an output of the run would be emptied before it is read: the
// files themselves are compared, so links and other spellings of the name are caught too.
void refuse_model_among_outputs(Streams& st, const std::string& name) {
    const std::filesystem::path model = st.dir() / name;
    for (const StreamFile& f : output_files()) {
        std::error_code ec;
        if (!std::filesystem::equivalent(model, st.dir() / f.name, ec)) continue;
        const std::string line = " THE MODEL FILE IS THE OUTPUT FILE " + std::string(f.name) + ", THUS STOP !!!";
        write_free(st, unit::console, {" FROM SUBROUTINE INDAT :"});
        write_free(st, unit::console, {std::string_view(line)});
        throw RunStop();
    }
}

// Files an earlier run left (a check run's eigenfunctions, a complete run's results before
// a stopped one) would pass for this run's.
void remove_earlier_outputs(Streams& st) {
    for (const StreamFile& f : output_files()) {
        std::error_code ec;
        std::filesystem::remove(st.dir() / f.name, ec);
    }
}

// The frequency grid: from the model file, or the one check frequency from the keyboard.
void frequency_grid(Streams& st, Freq& fq, const Sampling& smp, int mom_limit) {
    double period = read_period(st);
    require_positive(st, period, "PERIOD");
    const double duration = smp.nt * smp.dt;
    const double pi2 = 8.0 * std::atan(1.0);
    fq.dom = pi2 / duration;
    fq.iom = 0;
    const double nom_real = duration / period;
    if (!(nom_real < 2147483648.0)) refuse(st, "NOM=NT*DT/PERIOD must fit an integer");
    fq.nom = static_cast<int>(nom_real);

    write_free(st, unit::console, {});
    write_free(st, unit::console, {"Maximum frequency (Hz) =", 1.0 / period});
    write_free(st, unit::console, {"Check Secular Functions & Eigen Vectors? (N=0 or Y=1)"});
    int ichk = 0;
    read_list(st, unit::keyboard, {ichk});
    if (ichk != 0 && ichk != 1) refuse(st, "ICHK must be 0 or 1");
    if (ichk == 1) {
        fq.nom = 1;
        fq.iom = 1;
        write_free(st, unit::console, {"Enter the frequency for checking (Hz)"});
        double fchk = 0.0;
        read_list(st, unit::keyboard, {fchk});
        require_positive(st, fchk, "FCHK");
        fq.dom = fchk * pi2;
    }

    write_free(st, unit::log, {"FROM indat:"});
    write_free(st, unit::log, {});
    write_free(st, unit::log, {"dt,nt,period", smp.dt, smp.nt, period});
    write_free(st, unit::log, {"IOM,NOM,DOM=", fq.iom, fq.nom, fq.dom});

    if (fq.nom > mom_limit) stop_with(st, " NOM>MOM !!!!!!!!!!!!!");
}

// Depth grid of the eigenfunctions, asked in single-frequency runs only.
void depth_grid(Streams& st, Run& run) {
    static const Layout dep_prompt("(/,' Enter Depth to Output the Eigen Vectors (m):')");
    static const Layout nzint_prompt("(' Enter Partition Number along the Depth (ex., 200):')");
    Nintg& ng = run.nintg;
    dep_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {ng.dep});
    require_finite(st, ng.dep, "DEP");
    if (ng.dep < 0.0) refuse(st, "DEP must not be negative");
    if (ng.dep < run.layers.thk[1]) {
        write_free(st, unit::console, {});
        write_free(st, unit::console, {" Depth is smaller than the thichness of 1st layer !"});
    }
    nzint_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {ng.nzint});
    if (ng.nzint < 1) refuse(st, "NZINT must be at least 1");
    if (ng.nzint > ndepth - 2) refuse(st, "NZINT must be at most " + std::to_string(ndepth - 2));
    write_free(st, unit::console, {});
    write_free(st, unit::console, {});
    write_free(st, unit::console, {" You can plot the eigen vectors using \"eigdl.m, eigdr.m"});
    write_free(st, unit::console, {" eigsl.m, and eigsr.m\" for \"M-file\" of \"Matlab\""});
}

std::string hertz(double f) {
    std::string image;
    append_free_real_bare(image, f);
    return image;
}

// Frequencies at which the model cannot be evaluated in double precision would write NaN or
// Infinity; the grid's lowest non-zero and highest frequency, or the check frequency, must
// lie inside the model's limits.
void refuse_unevaluable_frequencies(Streams& st, const Freq& fq, const Model& model) {
    const FrequencyLimits lim = frequency_limits(model);
    const double pi2 = 8.0 * std::atan(1.0);
    double lowest = fq.dom * std::fmax(fq.iom, 1) / pi2;
    // The zero frequency is computed at stand-ins: 0.001 rad/s for the Love search, a
    // thousandth of the grid step for the mode properties.
    if (fq.iom == 0) lowest = std::fmin(lowest, std::fmin(0.001, 0.001 * fq.dom) / pi2);
    const double highest = fq.dom * fq.nom / pi2;
    if (fq.nom < 1 || (lowest >= lim.lowest && highest <= lim.highest)) return;
    const std::string range = " between " + hertz(lim.lowest) + " and " + hertz(lim.highest) + " Hz for this model";
    refuse(st, fq.iom == 1 ? "FCHK must be" + range : "The frequencies of DT, NT and PERIOD must be" + range);
}

}  // namespace

void indat(int mom_limit, Run& run) {
    Streams& st = run.streams;
    LayerTable& m = run.layers;
    Freq& fq = run.freq;
    Minmax& mm = run.minmax;

    write_free(st, unit::console, {});
    write_free(st, unit::console, {"Enter Input File Name for \"torvex12sx-in.csv\""});
    const std::string name = read_name(st, unit::keyboard);
    st.open(unit::model, name, OpenStatus::old);
    refuse_model_among_outputs(st, name);
    remove_earlier_outputs(st);

    const Sampling smp = read_sampling(st);
    if (!power_of_two(smp.nt)) {
        write_free(st, unit::console, {});
        write_free(st, unit::console, {"NT is not a power of 2 !!"});
        write_free(st, unit::log, {"NT is not a power of 2 !!"});
        throw RunStop();
    }
    require_positive(st, smp.dt, "DT");
    frequency_grid(st, fq, smp, mom_limit);

    read_layer_count(st, run);
    if (m.nl > nml) stop_with(st, " NL>NML !!!!!!!!!!!!!");
    if (m.nl < 1) refuse(st, "NL must be at least 1");
    std::vector<Layer> layers = read_layers(st, run);
    st.close(unit::model);
    check_model(st, std::move(layers));
    const ScanRange range = derive_scan_range(run);
    refuse_unevaluable_frequencies(st, fq, model_of(m));

    static const Layout tol_prompt("(/,' Enter Tolerance for Secular Function (ex., 0.001):')");
    static const Layout itmax_prompt("(/,' Enter Max Number of Iterations (ex., 100):')");
    tol_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {mm.tol});
    // Without a positive tolerance and one iteration at least no root can be accepted.
    require_positive(st, mm.tol, "TOL");
    itmax_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {mm.itmax});
    if (mm.itmax < 1) refuse(st, "ITMAX must be at least 1");

    static const Layout vmax_line("(/,' VSMAX, VPMAX =',2F9.3)");
    static const Layout cc_line("(' CCMIN, CCMAX =',2F9.3)");
    for (int u : {unit::console, unit::log}) {
        vmax_line.write(st, u, {mm.vsmax, range.vpmax});
        cc_line.write(st, u, {mm.ccmin, mm.ccmax});
    }

    Output& out = run.output;
    Nintg& ng = run.nintg;
    mm.ncc = 1;
    if (m.nl != 1) {
        static const Layout range_line("(/,' Min and Max Velocities (Cmin and Cmax: m/s) =',2F9.3)");
        static const Layout ncc_prompt("(' Enter Number of Partitions from Cmin to Cmax (ex.,200):')");
        static const Layout ncc_hint("(' (If dispersion curves are not proper, increase this number.)')");
        static const Layout dcc_line("(' Increment of Phase Velocity (DCC: m/s) =',F10.5)");
        range_line.write(st, unit::console, {mm.cmin, mm.cmax});
        ncc_prompt.write(st, unit::console, {});
        ncc_hint.write(st, unit::console, {});
        read_list(st, unit::keyboard, {mm.ncc});
        if (mm.ncc < 1) refuse(st, "NCC must be at least 1");
        const double dcc = (mm.cmax - mm.cmin) / mm.ncc;
        dcc_line.write(st, unit::console, {dcc});

        out.isec = 0;
        ng.nzint = 1;
        write_free(st, unit::console, {fq.nom, fq.iom});
        if (fq.nom != fq.iom || fq.iom == 0) return;
        out.isec = 1;
        write_free(st, unit::console, {});
        write_free(st, unit::console, {" You can plot the secular functions using"});
        write_free(st, unit::console, {" \"funcl.m and funcr.m\" for M-files of \"Matlab\""});
    }

    ng.nzint = 1;
    if (fq.nom != fq.iom) return;
    out.ieig = 1;
    depth_grid(st, run);
}

}  // namespace vemlari
