#include "records/dispersion_files.h"

#include "records/layout.h"

namespace vemlari {

void write_dispersion_files(Streams& st, int iom, int nom, const Ccmd& t) {
    static const Layout count("(I5)");
    static const Layout value("(E15.7)");
    const StreamFile mdl = search_file::mdl, mdr = search_file::mdr;
    const StreamFile phsl = search_file::phsl, phsr = search_file::phsr;
    st.open(mdl.unit, mdl.name, OpenStatus::unk);
    st.open(mdr.unit, mdr.name, OpenStatus::unk);
    for (int io = iom; io <= nom; ++io) {
        count.write(st, mdl.unit, {t.mdl[static_cast<std::size_t>(io)]});
        count.write(st, mdr.unit, {t.mdr[static_cast<std::size_t>(io)]});
    }
    st.close(mdl.unit);
    st.close(mdr.unit);
    st.open(phsl.unit, phsl.name, OpenStatus::unk);
    st.open(phsr.unit, phsr.name, OpenStatus::unk);
    for (int io = iom; io <= nom; ++io) {
        for (int m = 0; m <= t.mdl[static_cast<std::size_t>(io)]; ++m) value.write(st, phsl.unit, {t.ccl(io, m)});
        for (int m = 0; m <= t.mdr[static_cast<std::size_t>(io)]; ++m) value.write(st, phsr.unit, {t.ccr(io, m)});
    }
    st.close(phsl.unit);
    st.close(phsr.unit);
}

}  // namespace vemlari
