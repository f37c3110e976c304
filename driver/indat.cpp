// Model file and run dialogue: reads the layered model and the answers, checks them and
// fills the run-state records.
#include <cmath>
#include <string>

#include "driver/frhf.h"
#include "driver/list_input.h"
#include "driver/run.h"
#include "records/free_form.h"
#include "records/layout.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

constexpr const char* indat_head = " FROM SUBROUTINE INDAT :";

// Refuses a value that the computation cannot use: message on console and log, then stop.
[[noreturn]] void refuse(Streams& st, const std::string& rule) {
    const std::string line = " " + rule + ", THUS STOP !!!";
    write_free(st, unit::console, {indat_head});
    write_free(st, unit::console, {std::string_view(line)});
    write_free(st, unit::log, {indat_head});
    write_free(st, unit::log, {std::string_view(line)});
    throw RunStop();
}

void require_positive(Streams& st, double v, const std::string& name) {
    if (!(std::isfinite(v) && v > 0.0)) refuse(st, name + " must be a positive finite number");
}

void require_finite(Streams& st, double v, const std::string& name) {
    if (!std::isfinite(v)) refuse(st, name + " must be a finite number");
}

bool power_of_two(int nt) {
    double a = nt;
    do {
        a = a / 2.0;
    } while (a > 1.0);
    return a == 1.0;
}

void check_layers(Streams& st, const Nstrc& m, const double (&extra)[nml + 1][4]) {
    for (int il = 1; il <= m.nl; ++il) {
        const std::string n = "(" + std::to_string(il) + ")";
        require_finite(st, m.thk[il], "THK" + n);
        for (int q = 0; q < 4; ++q) {
            static const char* const names[4] = {"QP", "FP", "QS", "FS"};
            require_finite(st, extra[il][q], names[q] + n);
        }
        require_positive(st, m.rho[il], "RHO" + n);
        require_positive(st, m.vs[il], "VS" + n);
        require_finite(st, m.vp[il], "VP" + n);
        if (!(m.vp[il] > m.vs[il])) refuse(st, "VP" + n + " must exceed VS" + n);
        if (il < m.nl && m.thk[il] < 0.0) refuse(st, "THK" + n + " must not be negative");
    }
}

}  // namespace

void indat(int mom_limit, Run& run) {
    Streams& st = run.streams;
    Nstrc& m = run.nstrc;
    Freq& fq = run.freq;
    Minmax& mm = run.minmax;

    write_free(st, unit::console, {});
    write_free(st, unit::console, {"Enter Input File Name for \"torvex12sx-in.csv\""});
    const std::string name = read_name(st, unit::keyboard);
    st.open(unit::model, name, OpenStatus::old);

    double dt = 0.0;
    int nt = 0;
    skip_line(st, unit::model);
    skip_line(st, unit::model);
    read_list(st, unit::model, {dt, nt});
    write_free(st, unit::console, {});
    write_free(st, unit::console, {"Delta Time (s) =", dt, ", Number of Time =", nt});

    if (!power_of_two(nt)) {
        write_free(st, unit::console, {});
        write_free(st, unit::console, {"NT is not a power of 2 !!"});
        write_free(st, unit::log, {"NT is not a power of 2 !!"});
        throw RunStop();
    }
    require_positive(st, dt, "DT");

    double period = 0.0;
    skip_line(st, unit::model);
    read_list(st, unit::model, {period});
    require_positive(st, period, "PERIOD");

    const double duration = nt * dt;
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
    write_free(st, unit::log, {"dt,nt,period", dt, nt, period});
    write_free(st, unit::log, {"IOM,NOM,DOM=", fq.iom, fq.nom, fq.dom});

    if (fq.nom > mom_limit) {
        write_free(st, unit::log, {" NOM>MOM !!!!!!!!!!!!!"});
        throw RunStop();
    }

    skip_line(st, unit::model);
    skip_line(st, unit::model);
    read_list(st, unit::model, {m.nl});
    skip_line(st, unit::model);
    write_free(st, unit::console, {"Number of Layers=", m.nl});
    write_free(st, unit::console, {"Layer, Density, Vp, Qp, Fp, Vs, Qs, Fs, Thickness"});

    if (m.nl > nml) {
        write_free(st, unit::log, {" NL>NML !!!!!!!!!!!!!"});
        throw RunStop();
    }
    if (m.nl < 1) refuse(st, "NL must be at least 1");

    // Quality factors and their frequencies are echoed only; the medium is elastic.
    double extra[nml + 1][4] = {};
    int number = 0;
    double qp = 0.0, fp = 0.0, qs = 0.0, fs = 0.0;
    for (int il = 1; il <= m.nl; ++il) {
        read_list(st, unit::model, {number, m.rho[il], m.vp[il], qp, fp, m.vs[il], qs, fs, m.thk[il]});
        write_free(st, unit::console, {number, m.rho[il], m.vp[il], qp, fp, m.vs[il], qs, fs, m.thk[il]});
        extra[il][0] = qp;
        extra[il][1] = fp;
        extra[il][2] = qs;
        extra[il][3] = fs;
    }
    write_free(st, unit::log, {"NL=", m.nl});
    for (int il = 1; il <= m.nl; ++il) {
        write_free(st, unit::log, {il, m.rho[il], m.vp[il], m.vs[il], m.thk[il]});
    }
    st.close(unit::model);
    check_layers(st, m, extra);

    // Slowest and fastest layer; on ties the deepest wins.
    mm.vsmin = m.vs[m.nl];
    mm.vsmax = 0.0;
    double vpmax = 0.0;
    int minil = 1;
    int maxil = 1;
    for (int il = 1; il <= m.nl; ++il) {
        if (m.vs[il] <= mm.vsmin) {
            mm.vsmin = m.vs[il];
            minil = il;
        }
        if (m.vs[il] >= mm.vsmax) {
            mm.vsmax = m.vs[il];
            maxil = il;
        }
        vpmax = std::fmax(vpmax, m.vp[il]);
    }
    if (m.vs[m.nl] != mm.vsmax) {
        write_free(st, unit::console, {indat_head});
        write_free(st, unit::console, {" VS(NL).NE.VSMAX, THUS STOP !!!"});
        throw RunStop();
    }
    if (m.vp[m.nl] != vpmax) {
        write_free(st, unit::console, {indat_head});
        write_free(st, unit::console, {" VP(NL).NE.VPMAX, THUS STOP !!!"});
        throw RunStop();
    }

    static const Layout tol_prompt("(/,' Enter Tolerance for Secular Function (ex., 0.001):')");
    static const Layout itmax_prompt("(/,' Enter Max Number of Iterations (ex., 100):')");
    tol_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {mm.tol});
    require_finite(st, mm.tol, "TOL");
    itmax_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {mm.itmax});

    mm.ccmin = frhf(m.vp[minil], m.vs[minil]);
    mm.ccmax = frhf(m.vp[maxil], m.vs[maxil]);

    static const Layout vmax_line("(/,' VSMAX, VPMAX =',2F9.3)");
    static const Layout cc_line("(' CCMIN, CCMAX =',2F9.3)");
    for (int u : {unit::console, unit::log}) {
        vmax_line.write(st, u, {mm.vsmax, vpmax});
        cc_line.write(st, u, {mm.ccmin, mm.ccmax});
    }

    Output& out = run.output;
    Nintg& ng = run.nintg;
    mm.ncc = 1;
    if (m.nl != 1) {
        mm.cmin = mm.ccmin - mm.ccmin / 100.0;
        mm.cmax = mm.vsmax + mm.vsmax / 100.0;
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
    static const Layout dep_prompt("(/,' Enter Depth to Output the Eigen Vectors (m):')");
    static const Layout nzint_prompt("(' Enter Partition Number along the Depth (ex., 200):')");
    dep_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {ng.dep});
    require_finite(st, ng.dep, "DEP");
    if (ng.dep < m.thk[1]) {
        write_free(st, unit::console, {});
        write_free(st, unit::console, {" Depth is smaller than the thichness of 1st layer !"});
    }
    nzint_prompt.write(st, unit::console, {});
    read_list(st, unit::keyboard, {ng.nzint});
    if (ng.nzint < 1) refuse(st, "NZINT must be at least 1");
    write_free(st, unit::console, {});
    write_free(st, unit::console, {});
    write_free(st, unit::console, {" You can plot the eigen vectors using \"eigdl.m, eigdr.m"});
    write_free(st, unit::console, {" eigsl.m, and eigsr.m\" for \"M-file\" of \"Matlab\""});
}

}  // namespace vemlari
