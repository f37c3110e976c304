#pragma once
#include <vector>

// Every stream of the program, with the file bound to it. A stream number names a file only
// while it is open: the search and the eigenvector stage reuse some numbers for other files
// (20 is "om_dat" in the one and "vr1_dat" in the other), each after the other has closed it.
namespace vemlari {

namespace unit {
constexpr int error = 0;
constexpr int keyboard = 5;
constexpr int console = 6;
constexpr int model = 7;
constexpr int log = 10;  // "fort.10", bound on first use
}  // namespace unit

struct StreamFile {
    int unit;
    const char* name;
};

// Dispersion search.
namespace search_file {
constexpr StreamFile om{20, "om_dat"};
constexpr StreamFile mdl{22, "mdl_dat"};
constexpr StreamFile mdr{23, "mdr_dat"};
constexpr StreamFile phsl{25, "phsl1_dat"};
constexpr StreamFile phsr{26, "phsr1_dat"};
// Secular-function traces of a check run, per wave type: c, Re F, Im F, and all with |F|.
constexpr StreamFile trace[8] = {{11, "sclc_dat"}, {12, "sclr_dat"}, {13, "scli_dat"},    {14, "scrc_dat"},
                                 {15, "scrr_dat"}, {16, "scri_dat"}, {17, "sec-Lov.csv"}, {18, "sec-Ray.csv"}};
}  // namespace search_file

// Eigenvector stage.
namespace eigen_file {
constexpr StreamFile vzn{9, "vzn_dat"};
constexpr StreamFile vl1{19, "vl1_dat"};
constexpr StreamFile vl2{11, "vl2_dat"};
constexpr StreamFile vr[4] = {{20, "vr1_dat"}, {21, "vr2_dat"}, {22, "vr3_dat"}, {23, "vr4_dat"}};
constexpr StreamFile ldis{24, "Ldis.csv"};
constexpr StreamFile lstr{25, "Lstr.csv"};
constexpr StreamFile rdis{26, "Rdis.csv"};
constexpr StreamFile rstr{27, "Rstr.csv"};
constexpr StreamFile grpl{32, "grpl_dat"};
constexpr StreamFile grpr{33, "grpr_dat"};
constexpr StreamFile ldisp1{42, "Ldisper1.csv"};
constexpr StreamFile ldisp2{43, "Ldisper2.csv"};
constexpr StreamFile rdisp1{44, "Rdisper1.csv"};
constexpr StreamFile rdisp2{45, "Rdisper2.csv"};
constexpr StreamFile lmedres{46, "Lmedres.csv"};
constexpr StreamFile rmedres{47, "Rmedres.csv"};
constexpr StreamFile hoverv{48, "HoverV.csv"};
}  // namespace eigen_file

// Every file a run may write, the log first.
inline std::vector<StreamFile> output_files() {
    std::vector<StreamFile> all{{unit::log, "fort.10"}, search_file::om,   search_file::mdl,
                                search_file::mdr,       search_file::phsl, search_file::phsr};
    for (const StreamFile& f : search_file::trace) all.push_back(f);
    for (const StreamFile& f :
         {eigen_file::vzn,    eigen_file::vl1,    eigen_file::vl2,     eigen_file::vr[0],   eigen_file::vr[1],
          eigen_file::vr[2],  eigen_file::vr[3],  eigen_file::ldis,    eigen_file::lstr,    eigen_file::rdis,
          eigen_file::rstr,   eigen_file::grpl,   eigen_file::grpr,    eigen_file::ldisp1,  eigen_file::ldisp2,
          eigen_file::rdisp1, eigen_file::rdisp2, eigen_file::lmedres, eigen_file::rmedres, eigen_file::hoverv})
        all.push_back(f);
    return all;
}

}  // namespace vemlari
