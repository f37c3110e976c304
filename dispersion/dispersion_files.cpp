#include "dispersion/dispersion_files.h"

#include "records/layout.h"

namespace vemlari {

void write_dispersion_files(Streams& st, const Freq& fq, const Ccmd& t) {
    static const Layout count("(I5)");
    static const Layout value("(E15.7)");
    st.open(22, "mdl_dat", OpenStatus::unk);
    st.open(23, "mdr_dat", OpenStatus::unk);
    for (int io = fq.iom; io <= fq.nom; ++io) {
        count.write(st, 22, {t.mdl[io]});
        count.write(st, 23, {t.mdr[io]});
    }
    st.close(22);
    st.close(23);
    st.open(25, "phsl1_dat", OpenStatus::unk);
    st.open(26, "phsr1_dat", OpenStatus::unk);
    for (int io = fq.iom; io <= fq.nom; ++io) {
        for (int m = 0; m <= t.mdl[io]; ++m) value.write(st, 25, {t.ccl(io, m)});
        for (int m = 0; m <= t.mdr[io]; ++m) value.write(st, 26, {t.ccr(io, m)});
    }
    st.close(25);
    st.close(26);
}

}  // namespace vemlari
